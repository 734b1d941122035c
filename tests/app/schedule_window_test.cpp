// The export schedule through the real window: the in-memory store, a set clock and fixed
// regional settings.
#include "app/TfrmNorlexa.h"
#include "app/default_error_handler.h"
#include "platform/memory/fixed_regional_settings.h"
#include "tests/support/schedule_cases.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_driver.h"
#include "toolkit/settings/registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using platform::Hive;
using vemlo::RegRoot;

namespace {

const std::string kTimers = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Timers";
const std::string kFirstSlot = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Configurations\\Config-0";
const char* const kScheduleValues[] = {"Period", "Dag", "Tid", "Nextrun", "Restart", "Restarttime"};

QString Q(const std::optional<std::string>& text) {
    return text ? QString::fromStdString(*text) : QStringLiteral("<absent>");
}

struct LoadRow {
    const char* label;
    const char* period;
    const char* dag;
    const char* tid;
    const char* restarttime;
    const char* periodShown;
    const char* dagShown;
    QTime tidShown;
    QTime restartShown;
};

const LoadRow kLoadRows[] = {
    {"nothing stored", "", "", "", "", "Dag", "", QTime(6, 0), QTime(1, 0)},
    {"every week on friday", "7", "5", "07:30:00", "02:15", "Vecka", "Fredag", QTime(7, 30),
     QTime(2, 15)},
    {"every other week on sunday", "14", "7", "", "", "Varanna vecka", "Söndag", QTime(6, 0),
     QTime(1, 0)},
    {"every month", "30", "", "", "", "Månad", "", QTime(6, 0), QTime(1, 0)},
    {"period 2 is a position", "2", "1", "", "", "Varanna vecka", "Måndag", QTime(6, 0),
     QTime(1, 0)},
    {"period 5 is past the list", "5", "", "", "", "", "", QTime(6, 0), QTime(1, 0)},
    {"period not a number", "Vecka", "", "", "", "Dag", "", QTime(6, 0), QTime(1, 0)},
    {"weekday past sunday keeps monday shown", "7", "10", "", "", "Vecka", "Måndag", QTime(6, 0),
     QTime(1, 0)},
    {"weekday 0 is none", "7", "0", "", "", "Vecka", "", QTime(6, 0), QTime(1, 0)},
    {"unreadable times", "1", "", "6 o'clock", "25:00", "Dag", "", QTime(6, 0), QTime(1, 0)},
};

// The next run after "Spara", shared with the command line's schedule tests.
const auto& kSparaRows = testing_support::kSparaCases;

struct WeekdayRow {
    const char* label;
    std::vector<std::string> picks;
    bool dagVisible;
    bool dagEnabled;
    const char* dagShown;
    bool lastDayVisible;
    const char* dagWritten;
};

const WeekdayRow kWeekdayRows[] = {
    {"Dag", {"cbPeriod=1", "cbDag=3", "cbPeriod=0"}, true, false, "", false, ""},
    {"Vecka selects monday", {"cbPeriod=1"}, true, true, "Måndag", false, "1"},
    {"Varanna vecka keeps the weekday",
     {"cbPeriod=1", "cbDag=5", "cbPeriod=2"},
     true,
     true,
     "Lördag",
     false,
     "6"},
    {"Månad after Dag", {"cbPeriod=3"}, false, false, "", true, ""},
    {"Månad after Vecka on onsdag",
     {"cbPeriod=1", "cbDag=2", "cbPeriod=3"},
     false,
     true,
     "Onsdag",
     true,
     "3"},
};

struct RunInfoRow {
    const char* label;
    const char* nextrun;
    const char* prevrun;
    const char* restart;
    const char* nextShown;
    const char* prevShown;
    bool checked;
};

const RunInfoRow kRunInfoRows[] = {
    {"nothing stored", "", "", "", "2014-10-30 12:00:00", "2013-01-01", false},
    {"stored as they are", "2014-11-07 06:00:00", "2014-10-31 06:00:00", "1", "2014-11-07 06:00:00",
     "2014-10-31 06:00:00", true},
    {"malformed shown unchanged", "snart", "förut", "0", "snart", "förut", false},
    {"restart true", "", "", "true", "2014-10-30 12:00:00", "2013-01-01", false},
    {"restart with a blank", "", "", " 1", "2014-10-30 12:00:00", "2013-01-01", false},
};

} // namespace

class ScheduleWindowTest : public QObject, public testing_support::WindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::ToolkitTwins> twins;

    void storeTimer(const char* name, const char* value) {
        QVERIFY(vemlo::RegWriteString(RegRoot::LocalMachine, kTimers, name, value));
    }

    void storeConfig() {
        QVERIFY(vemlo::RegWriteString(RegRoot::LocalMachine, kFirstSlot, "Name", "Config-0"));
    }

    QString timer(const char* name) {
        return Q(twins->store.storedValue(Hive::Machine, kTimers, name));
    }

    // Picks given as "list=position", in order.
    void pickAll(const std::vector<std::string>& picks) {
        for (const auto& step : picks) {
            const auto equals = step.find('=');
            pick(step.substr(0, equals).c_str(), std::stoi(step.substr(equals + 1)));
        }
    }

private Q_SLOTS:
    void init() { twins = std::make_unique<testing_support::ToolkitTwins>(); }

    void cleanup() {
        window.reset();
        twins.reset();
    }

    void loadingShowsTheStoredSchedule_data() { testing_support::AddTableRows(kLoadRows); }

    void loadingShowsTheStoredSchedule() {
        QFETCH(int, row);
        const auto& load = kLoadRows[row];
        storeTimer("Period", load.period);
        storeTimer("Dag", load.dag);
        storeTimer("Tid", load.tid);
        storeTimer("Restarttime", load.restarttime);
        openWindow();
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(),
                 QString::fromUtf8(load.periodShown));
        QCOMPARE(control<QComboBox>("cbDag")->currentText(), QString::fromUtf8(load.dagShown));
        QCOMPARE(control<QTimeEdit>("dtpTid")->time(), load.tidShown);
        QCOMPARE(control<QTimeEdit>("dtpRestart")->time(), load.restartShown);
        QCOMPARE(control<QComboBox>("cbPeriod")->count(), 4);
        QCOMPARE(control<QComboBox>("cbDag")->count(), 7);
    }

    void sparaWritesTheNextRun_data() { testing_support::AddTableRows(kSparaRows); }

    void sparaWritesTheNextRun() {
        QFETCH(int, row);
        const auto& spara = kSparaRows[row];
        twins->clock.set({spara.today.year, spara.today.month, spara.today.day, 9, 15, 0, 0});
        storeTimer("Prevrun", spara.prevrun);
        storeTimer("Period", spara.storedPeriod);
        storeTimer("Dag", spara.storedDag);
        storeTimer("Tid", spara.storedTid);
        openWindow();
        pickAll(spara.picks);
        click("btnSpara");
        QVERIFY(twins->boxes.shown().empty());
        QCOMPARE(timer("Nextrun"), QString::fromUtf8(spara.nextrun));
        QCOMPARE(timer("Period"), QString::fromUtf8(spara.period));
        QCOMPARE(timer("Dag"), QString::fromUtf8(spara.dag));
        QCOMPARE(control<QLineEdit>("edNextrun")->text(), QString::fromUtf8(spara.nextrun));
        QCOMPARE(timer("Tid"), *spara.storedTid ? QString::fromUtf8(spara.storedTid)
                                                : QStringLiteral("06:00:00"));
        QCOMPARE(timer("Restart"), QStringLiteral("0"));
        QCOMPARE(timer("Restarttime"), QStringLiteral("01:00:00"));
        QCOMPARE(timer("Prevrun"), QString::fromUtf8(spara.prevrun));
    }

    void theWeekdayControlsFollowThePeriod_data() { testing_support::AddTableRows(kWeekdayRows); }

    void theWeekdayControlsFollowThePeriod() {
        QFETCH(int, row);
        const auto& weekday = kWeekdayRows[row];
        openWindow();
        pickAll(weekday.picks);
        auto* dag = control<QComboBox>("cbDag");
        auto* lastDay = control<QLineEdit>("edDag");
        QCOMPARE(dag->isVisible(), weekday.dagVisible);
        QCOMPARE(dag->isEnabled(), weekday.dagEnabled);
        QCOMPARE(dag->currentText(), QString::fromUtf8(weekday.dagShown));
        QCOMPARE(lastDay->isVisible(), weekday.lastDayVisible);
        QCOMPARE(lastDay->text(), QStringLiteral("Siste i månaden"));
        QVERIFY(!lastDay->isEnabled());
        click("btnSpara");
        QCOMPARE(timer("Dag"), QString::fromUtf8(weekday.dagWritten));
    }

    void aPrevrunThatIsNoDateStopsSpara() {
        storeTimer("Prevrun", "igår kväll");
        storeConfig();
        openWindow();
        pick("cbPeriod", 1);
        control<QLineEdit>("edtConfigName")->setFocus();
        QTest::keyClicks(control<QLineEdit>("edtConfigName"), QStringLiteral("X"));
        const QString nextShown = control<QLineEdit>("edNextrun")->text();
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        const auto& box = twins->boxes.shown()[0];
        QCOMPARE(box.kind, platform::BoxKind::Error);
        QCOMPARE(box.text, std::string("'igår kväll' is not a valid date and time."));
        for (const char* name : kScheduleValues) {
            QCOMPARE(timer(name), QStringLiteral("<absent>"));
        }
        QCOMPARE(Q(twins->store.storedValue(Hive::Machine, kFirstSlot, "Name")),
                 QStringLiteral("Config-0"));
        QVERIFY(window->isVisible());
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Vecka"));
        QCOMPARE(control<QLineEdit>("edtConfigName")->text(), QStringLiteral("Config-0X"));
        QCOMPARE(control<QLineEdit>("edNextrun")->text(), nextShown);
    }

    void sparaAfterAnIncompleteLoadWritesNothingUntilACompleteF5() {
        storeTimer("Period", "14");
        twins->store.failNext(platform::MemorySettingsStore::Call::QueryValue, platform::kBusy);
        openWindow();
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY(twins->boxes.shown()[0].text.starts_with(
            "Inställningarna lästes inte in helt och sparas därför inte."));
        QCOMPARE(timer("Period"), QStringLiteral("14"));
        QCOMPARE(timer("Nextrun"), QStringLiteral("<absent>"));
        QTest::keyClick(window.get(), Qt::Key_F5);
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QCOMPARE(timer("Period"), QStringLiteral("14"));
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-11-09 06:00:00"));
    }

    void aBatchThatCannotBeginOrEndSaysNothingWasSaved_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<bool>("written");
        QTest::newRow("begin") << static_cast<int>(platform::MemorySettingsStore::Call::BeginBatch)
                               << false;
        QTest::newRow("end") << static_cast<int>(platform::MemorySettingsStore::Call::EndBatch)
                             << true;
    }

    void aBatchThatCannotBeginOrEndSaysNothingWasSaved() {
        QFETCH(int, call);
        QFETCH(bool, written);
        openWindow();
        twins->store.failNext(static_cast<platform::MemorySettingsStore::Call>(call),
                              platform::kRegistryIoFailed);
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY(twins->boxes.shown()[0].text.starts_with(
            "Ändringarna kunde inte sparas. Inget av schemat eller exportkonfigurationerna har "
            "sparats."));
        // The twin stores each write at once; only a batch that never began wrote nothing.
        QCOMPARE(timer("Period") != QStringLiteral("<absent>"), written);
        QCOMPARE(twins->store.batchDepth(Hive::Machine), 0);
    }

    void sparaSavesTheConfigurationsAndShowsWhatItWrote() {
        storeConfig();
        openWindow();
        click("btnSpara");
        // Save writes every slot's four values, those absent before included.
        QCOMPARE(Q(twins->store.storedValue(Hive::Machine, kFirstSlot, "ExportFilename")),
                 QString());
        QCOMPARE(control<QLineEdit>("edNextrun")->text(), QStringLiteral("2014-10-30 06:00:00"));
        QCOMPARE(control<QLineEdit>("edPrevrun")->text(), QStringLiteral("2013-01-01"));
    }

    void aFailedWriteLeavesTheOthersToBeTriedAndIsNamed() {
        storeConfig();
        openWindow();
        twins->store.failNext(platform::MemorySettingsStore::Call::SetValue,
                              platform::kAccessDenied, 2);
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QCOMPARE(twins->boxes.shown()[0].kind, platform::BoxKind::Error);
        QCOMPARE(Q(twins->boxes.shown()[0].text),
                 QStringLiteral("Några värden kunde inte sparas; de övriga har sparats:\r"
                                "Timers\\Period\rTimers\\Dag"));
        QCOMPARE(timer("Period"), QStringLiteral("<absent>"));
        QCOMPARE(timer("Dag"), QStringLiteral("<absent>"));
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-10-30 06:00:00"));
        QCOMPARE(timer("Restarttime"), QStringLiteral("01:00:00"));
        QCOMPARE(Q(twins->store.storedValue(Hive::Machine, kFirstSlot, "ExportFilename")),
                 QString());
    }

    // Only a load of the window takes the restart option from the store; an edit of the
    // configurations keeps what the user ticked and has not saved.
    void anUnsavedRestartOptionSurvivesEditsOfTheConfigurations_data() {
        QTest::addColumn<int>("edit");
        int edit = 0;
        for (const char* label : {"typing a name", "ny", "tabort", "picking a configuration",
                                  "choosing a folder", "a refused spara"}) {
            QTest::addRow("%s", label) << edit++;
        }
    }

    void anUnsavedRestartOptionSurvivesEditsOfTheConfigurations() {
        QFETCH(int, edit);
        const std::string slots = kFirstSlot.substr(0, kFirstSlot.size() - 1);
        for (const char* slot : {"0", "1"}) {
            QVERIFY(vemlo::RegWriteString(RegRoot::LocalMachine, slots + slot, "Name",
                                          std::string("Config-") + slot));
        }
        storeTimer("Restart", "0");
        openWindow();
        auto* restart = control<QCheckBox>("cbRestartService");
        auto* name = control<QLineEdit>("edtConfigName");
        QTest::mouseClick(restart, Qt::LeftButton, {}, QPoint(5, restart->height() / 2));
        QVERIFY(restart->isChecked());
        switch (edit) {
        case 0:
            name->setFocus();
            QTest::keyClicks(name, QStringLiteral("X"));
            break;
        case 1:
            click("btnConfigAdd");
            break;
        case 2:
            click("btnConfigRemove");
            break;
        case 3:
            pick("cmbConfigs", 1);
            break;
        case 4:
            twins->folders.answerNext("/srv/ut");
            click("buValjKatalog");
            break;
        default:
            name->setFocus();
            name->selectAll();
            QTest::keyClick(name, Qt::Key_Delete);
            click("btnSpara");
            QCOMPARE(twins->boxes.shown().size(), size_t{1});
            QTest::keyClicks(name, QStringLiteral("Ny"));
            break;
        }
        QVERIFY(restart->isChecked());
        QVERIFY(control<QTimeEdit>("dtpRestart")->isEnabled());
        QCOMPARE(timer("Restart"), QStringLiteral("0"));
        click("btnSpara");
        QCOMPARE(timer("Restart"), QStringLiteral("1"));
        QVERIFY(restart->isChecked());
        // A load takes the stored option again.
        storeTimer("Restart", "0");
        QTest::keyClick(window.get(), Qt::Key_F5);
        QVERIFY(!restart->isChecked());
        QVERIFY(!control<QTimeEdit>("dtpRestart")->isEnabled());
    }

    // With no configuration at load the box shows nothing stored; the first configuration added
    // shows the stored option, unless the user has ticked the box meanwhile.
    void theFirstConfigurationAddedShowsTheStoredRestartOption_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::addRow("untouched") << QStringLiteral("1") << false;
        QTest::addRow("ticked by the user") << QStringLiteral("0") << true;
    }

    void theFirstConfigurationAddedShowsTheStoredRestartOption() {
        QFETCH(QString, stored);
        QFETCH(bool, ticked);
        storeTimer("Restart", stored.toStdString().c_str());
        openWindow();
        auto* restart = control<QCheckBox>("cbRestartService");
        QVERIFY(!restart->isChecked());
        if (ticked) {
            QTest::mouseClick(restart, Qt::LeftButton, {}, QPoint(5, restart->height() / 2));
        }
        click("btnConfigAdd");
        QVERIFY(restart->isChecked());
        QVERIFY(control<QTimeEdit>("dtpRestart")->isEnabled());
        click("btnSpara");
        QCOMPARE(timer("Restart"), QStringLiteral("1"));
    }

    // "Restart" shown and "Prevrun" counted from are what is stored, or "Spara" writes nothing.
    void aFailedReadOfRestartOrPrevrunRefusesSpara_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("Restart") << QStringLiteral("Restart");
        QTest::newRow("Prevrun") << QStringLiteral("Prevrun");
    }

    void aFailedReadOfRestartOrPrevrunRefusesSpara() {
        QFETCH(QString, value);
        storeConfig();
        storeTimer("Restart", "1");
        storeTimer("Prevrun", "2014-10-29 05:00:00");
        twins->store.failQueriesOf(value.toStdString(), platform::kBusy);
        openWindow();
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY(twins->boxes.shown()[0].text.starts_with(
            "Inställningarna lästes inte in helt och sparas därför inte."));
        for (const char* name : {"Period", "Dag", "Tid", "Nextrun", "Restarttime"}) {
            QCOMPARE(timer(name), QStringLiteral("<absent>"));
        }
        QCOMPARE(timer("Restart"), QStringLiteral("1"));
        QCOMPARE(Q(twins->store.storedValue(Hive::Machine, kFirstSlot, "DataProvider")),
                 QStringLiteral("<absent>"));

        twins->store.clearFailures();
        QTest::keyClick(window.get(), Qt::Key_F5);
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QCOMPARE(timer("Restart"), QStringLiteral("1"));
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-10-30 06:00:00"));
    }

    void theRunInformationShowsWhatIsStored_data() { testing_support::AddTableRows(kRunInfoRows); }

    void theRunInformationShowsWhatIsStored() {
        QFETCH(int, row);
        const auto& info = kRunInfoRows[row];
        const bool checked = info.checked;
        storeTimer("Nextrun", info.nextrun);
        storeTimer("Prevrun", info.prevrun);
        storeTimer("Restart", info.restart);
        storeConfig();
        openWindow();
        QCOMPARE(control<QLineEdit>("edNextrun")->text(), QString::fromUtf8(info.nextShown));
        QCOMPARE(control<QLineEdit>("edPrevrun")->text(), QString::fromUtf8(info.prevShown));
        QCOMPARE(control<QCheckBox>("cbRestartService")->isChecked(), checked);
        QCOMPARE(control<QTimeEdit>("dtpRestart")->isEnabled(), checked);
        storeTimer("Prevrun", "");
        click("btnSpara");
        QCOMPARE(timer("Restart"), checked ? QStringLiteral("1") : QStringLiteral("0"));
    }

    void withoutAConfigurationTheRunInformationStaysEmpty() {
        storeTimer("Nextrun", "2014-11-07 06:00:00");
        storeTimer("Restart", "1");
        openWindow();
        QCOMPARE(control<QLineEdit>("edNextrun")->text(), QString());
        QCOMPARE(control<QLineEdit>("edPrevrun")->text(), QString());
        auto* restart = control<QCheckBox>("cbRestartService");
        QVERIFY(!restart->isChecked());
        restart->setFocus();
        QTest::keyClick(restart, Qt::Key_Space);
        QVERIFY(control<QTimeEdit>("dtpRestart")->isEnabled());
        click("btnSpara");
        QCOMPARE(timer("Restart"), QStringLiteral("1"));
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-10-30 06:00:00"));
    }

    void runNowWritesTheCurrentTimeAndReloads() {
        storeConfig();
        storeTimer("Period", "7");
        twins->clock.set({2014, 10, 29, 12, 34, 56, 789});
        openWindow();
        pick("cbPeriod", 0);
        click("buRunNow");
        QVERIFY(twins->boxes.shown().empty());
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-10-29 12:34:56"));
        QCOMPARE(control<QLineEdit>("edNextrun")->text(), QStringLiteral("2014-10-29 12:34:56"));
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Vecka"));
        QCOMPARE(timer("Period"), QStringLiteral("7"));
        // "Spara" before the service has run replaces the immediate run with the computed one.
        click("btnSpara");
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-11-02 06:00:00"));
    }

    void runNowAtMidnightWritesTheDateAlone() {
        twins->clock.set({2014, 10, 29, 0, 0, 0, 0});
        openWindow();
        click("buRunNow");
        QCOMPARE(timer("Nextrun"), QStringLiteral("2014-10-29"));
    }

    void f5RestoresTheStoredSchedule() {
        storeTimer("Period", "30");
        openWindow();
        pick("cbPeriod", 1);
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Månad"));
        QVERIFY(control<QLineEdit>("edDag")->isVisible());
    }

    void sparaUnderDayFirstFormats() {
        twins->regional.set(platform::DottedFormats());
        storeTimer("Prevrun", "26.10.2014 06.00.00");
        storeTimer("Tid", "07.30.00");
        storeTimer("Restarttime", "02.00");
        storeConfig();
        openWindow();
        pick("cbPeriod", 1);
        click("btnSpara");
        QVERIFY(twins->boxes.shown().empty());
        QCOMPARE(timer("Nextrun"), QStringLiteral("27.10.2014 07.30.00"));
        QCOMPARE(timer("Tid"), QStringLiteral("07.30.00"));
        QCOMPARE(timer("Restarttime"), QStringLiteral("02.00.00"));
        QCOMPARE(timer("Period"), QStringLiteral("7"));
        QCOMPARE(timer("Dag"), QStringLiteral("1"));
        QCOMPARE(control<QLineEdit>("edPrevrun")->text(), QStringLiteral("26.10.2014 06.00.00"));
    }

    // F5 used to show the schedule's defaults ("Dag" where "Vecka" is stored) after reads that
    // failed, while its box named only the configuration list.
    void aRefreshThatCannotReadKeepsWhatWasShownAndNamesIt() {
        storeTimer("Period", "7");
        storeTimer("Dag", "5");
        storeTimer("Tid", "07:30:00");
        storeTimer("Prevrun", "2014-10-20 06:00:00");
        storeConfig();
        openWindow();
        twins->store.failNext(platform::MemorySettingsStore::Call::QueryValue, platform::kBusy, -1);
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY(twins->boxes.shown()[0].text.starts_with(
            "Uppdateringen kunde inte läsa in schemat och exportkonfigurationerna."));
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Vecka"));
        QCOMPARE(control<QComboBox>("cbDag")->currentText(), QStringLiteral("Fredag"));
        QCOMPARE(control<QTimeEdit>("dtpTid")->time(), QTime(7, 30));
        QCOMPARE(control<QLineEdit>("edPrevrun")->text(), QStringLiteral("2014-10-20 06:00:00"));
        QCOMPARE(control<QComboBox>("cmbConfigs")->count(), 1);
        click("btnSpara");
        QCOMPARE(twins->boxes.shown().size(), size_t{2});
        QCOMPARE(timer("Nextrun"), QStringLiteral("<absent>"));
    }

    void korNuWhoseWriteFailsSaysSoAndDoesNotRefresh_data() {
        QTest::addColumn<int>("call");
        QTest::newRow("the batch cannot begin")
            << static_cast<int>(platform::MemorySettingsStore::Call::BeginBatch);
        QTest::newRow("the value is not stored")
            << static_cast<int>(platform::MemorySettingsStore::Call::SetValue);
    }

    // A failed write used to pass unnoticed: the user believed the service had been asked.
    void korNuWhoseWriteFailsSaysSoAndDoesNotRefresh() {
        QFETCH(int, call);
        storeConfig();
        openWindow();
        control<QLineEdit>("edtConfigName")->setFocus();
        QTest::keyClicks(control<QLineEdit>("edtConfigName"), QStringLiteral("X"));
        twins->store.failNext(static_cast<platform::MemorySettingsStore::Call>(call),
                              platform::kAccessDenied);
        click("buRunNow");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY(twins->boxes.shown()[0].text.starts_with(
            "Tjänsten kunde inte ombes att köra nu: tiden för nästa körning kunde inte sparas."));
        QCOMPARE(timer("Nextrun"), QStringLiteral("<absent>"));
        QCOMPARE(control<QLineEdit>("edtConfigName")->text(), QStringLiteral("Config-0X"));
    }

    // "Månad" leaves the weekday list enabled or not as the period before left it: a group that
    // is disabled around the list at that moment must not become the list's own state.
    void monthKeepsTheWeekdayListsStateWhileItsGroupIsDisabled() {
        openWindow();
        pickAll({"cbPeriod=1", "cbDag=2"});
        auto* group = control<QWidget>("gbTimer");
        group->setEnabled(false);
        control<QComboBox>("cbPeriod")->setCurrentIndex(3);
        group->setEnabled(true);
        QVERIFY(control<QComboBox>("cbDag")->isEnabled());
        QVERIFY(control<QLineEdit>("edDag")->isVisible());
        pick("cbPeriod", 3);
        click("btnSpara");
        QCOMPARE(timer("Period"), QStringLiteral("30"));
        QCOMPARE(timer("Dag"), QStringLiteral("3"));
    }

    void sparaUnderATwelveHourClock() {
        twins->regional.set(platform::TwelveHourFormats());
        storeTimer("Tid", "6:30:00 PM");
        openWindow();
        QCOMPARE(control<QTimeEdit>("dtpTid")->time(), QTime(18, 30));
        click("btnSpara");
        QCOMPARE(timer("Nextrun"), QStringLiteral("10/30/2014 6:30:00 PM"));
        QCOMPARE(timer("Restarttime"), QStringLiteral("1:00:00 AM"));
    }
};

int main(int argc, char** argv) {
    LumraApplication application(argc, argv);
    ScheduleWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "schedule_window_test.moc"
