#include "app/TRadioGroup.h"
#include "app/TfrmNorlexa.h"
#include "app/start_up.h"
#include "platform/linux/sqlite_settings_store.h"
#include "platform/store_deadline.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/sqlite_hives.h"
#include "tests/support/window_driver.h"
#include "toolkit/settings/environment.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/shared_settings.h"
#include "toolkit/widgets/application_error.h"
#include "toolkit/widgets/handler_guard.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimeEdit>
#include <functional>
#include <memory>
#include <optional>

using vemlo::RegRoot;

namespace {

const std::string kSlots = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Configurations\\Config-";

QString Caption(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return group->title();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    return {};
}

// A handler that fails as the coming handlers may, for a guarded connection.
class ThrowingHandler : public QObject {
public:
    void fire() { throw std::runtime_error("'x' is not a valid date and time"); }
};

} // namespace

class MainWindowTest : public QObject, public testing_support::WindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::SqliteHives> hives;
    // A second connection to the same files, as the service or another tool would have.
    std::unique_ptr<platform::SqliteSettingsStore> other;

    testing_support::ToolkitTwins& twins() { return hives->twins; }
    std::string machineHive() const { return hives->machineHive(); }

    // Runs change through the other connection, then hands the toolkit back to the window's.
    void byOther(const std::function<void()>& change) {
        twins().useStore(*other);
        change();
        twins().useStore(*hives->store);
    }

    void storeConfig(int slot, const std::string& name) {
        const auto key = kSlots + std::to_string(slot);
        byOther([&] {
            QVERIFY(vemlo::RegWriteString(RegRoot::LocalMachine, key, "Name", name));
            QVERIFY(
                vemlo::RegWriteString(RegRoot::LocalMachine, key, "DataProvider", name + ".udl"));
            QVERIFY(vemlo::RegWriteString(RegRoot::LocalMachine, key, "ExportPathBokforing",
                                          "/srv/" + name + "/"));
            QVERIFY(
                vemlo::RegWriteString(RegRoot::LocalMachine, key, "ExportFilename", name + "_fil"));
        });
    }

private Q_SLOTS:
    void init() {
        hives = std::make_unique<testing_support::SqliteHives>();
        other = std::make_unique<platform::SqliteSettingsStore>(hives->userHive(),
                                                                hives->machineHive());
    }

    void cleanup() {
        window.reset();
        other.reset();
        hives.reset();
    }

    void everyControlIsThereWithItsCaption_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        const char* rows[][3] = {
            {"pnlTop", "QFrame", ""},
            {"Label6", "QLabel", "Serviceinställningar för bokföringsexporten"},
            {"pnlBottom", "QFrame", ""},
            {"btnSpara", "QPushButton", "&Spara"},
            {"buStang", "QPushButton", "&Stäng"},
            {"sbLumraStatus", "QStatusBar", ""},
            {"pnlClient", "QFrame", ""},
            {"gbTimer", "QGroupBox", "Tid när exporten ska köras"},
            {"lbPeriod", "QLabel", "Period"},
            {"cbPeriod", "QComboBox", ""},
            {"lbDag", "QLabel", "Dag"},
            {"cbDag", "QComboBox", ""},
            {"edDag", "QLineEdit", "Siste i månaden"},
            {"lbKlockan", "QLabel", "Klockan"},
            {"dtpTid", "QTimeEdit", ""},
            {"GroupBox2", "QGroupBox", "Konfiguration"},
            {"cmbConfigs", "QComboBox", ""},
            {"btnConfigAdd", "QPushButton", "Ny"},
            {"btnConfigRemove", "QPushButton", "Tabort"},
            {"Label3", "QLabel", "Namn"},
            {"edtConfigName", "QLineEdit", ""},
            {"GroupBox1", "QGroupBox", "Databaskoppling"},
            {"edDataprovider", "QLineEdit", ""},
            {"buDataprovider", "QPushButton", "Välj..."},
            {"buTestaAnslutning", "QPushButton", "Testa..."},
            {"gbExportkatalog", "QGroupBox", "Exportuppgifter"},
            {"Label1", "QLabel", "Ange sökväg till exportfilerna"},
            {"edExportkatalog", "QLineEdit", ""},
            {"buValjKatalog", "QToolButton", "Välj..."},
            {"Label2", "QLabel", "Ange filnamn"},
            {"edExportfilname", "QLineEdit", ""},
            {"gbKorning", "QGroupBox", "Körning"},
            {"Label5", "QLabel", "Senaste körning"},
            {"edPrevrun", "QLineEdit", ""},
            {"Label4", "QLabel", "Tid för nästa körning"},
            {"edNextrun", "QLineEdit", ""},
            {"buRunNow", "QPushButton", "Kör nu..."},
            {"gbService", "QGroupBox", "Service"},
            {"cbRestartService", "QCheckBox", "Starta om service varje dag"},
            {"Label7", "QLabel", "Tid att starta om"},
            {"dtpRestart", "QTimeEdit", ""},
            {"rgStatus", "TRadioGroup", "Status"},
            {"btnStopService", "QPushButton", "Stoppa Lumra Bokförings-Tjänsten"},
            {"BitBtn1", "QPushButton", "Starta Lumra Bokförings-Tjänsten"},
        };
        for (const auto& row : rows) {
            QTest::addRow("%s", row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                                        << QString::fromUtf8(row[2]);
        }
    }

    void everyControlIsThereWithItsCaption() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        openWindow();
        auto* widget = window->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(QString::fromUtf8(widget->metaObject()->className()), kind);
        QCOMPARE(Caption(widget), caption);
    }

    void theWindowLooksAsDesigned() {
        openWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Lumra Boföringsexport"));
        QCOMPARE(window->size(), QSize(599, 539));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(control<QStatusBar>("sbLumraStatus")
                     ->findChild<QLabel*>(QStringLiteral("sbLumraStatusPanel0"))
                     ->text(),
                 QStringLiteral("F5 För att uppdatera"));
        QCOMPARE(control<QComboBox>("cbPeriod")->maxVisibleItems(), 8);
        QCOMPARE(control<QTimeEdit>("dtpTid")->displayFormat(), QStringLiteral("HH:mm"));
        QCOMPARE(control<QTimeEdit>("dtpRestart")->displayFormat(), QStringLiteral("HH:mm"));
        QVERIFY(!control<QCheckBox>("cbRestartService")->isChecked());
        QCOMPARE(control<QLineEdit>("edExportfilname")->toolTip(),
                 QStringLiteral("Filnamnet för exportfilerna. Batchnr, datum och kliniknr läggs "
                                "automatiskt till på slutet"));
        QVERIFY(control<QLineEdit>("edDataprovider")->isReadOnly());
        QCOMPARE(control<QLineEdit>("edDataprovider")->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(control("buValjKatalog")->focusPolicy(), Qt::NoFocus);
        for (const char* name : {"edPrevrun", "edNextrun", "edDag"}) {
            QVERIFY2(!control(name)->isEnabled(), name);
            QVERIFY2(control<QLineEdit>(name)->isReadOnly(), name);
        }
        auto* status = control<TRadioGroup>("rgStatus");
        QVERIFY(!status->isEnabled());
        QCOMPARE(status->count(), 7);
        QCOMPARE(status->item(3)->text(), QStringLiteral("SERVICE_RUNNING"));
        QCOMPARE(status->itemIndex(), -1);
    }

    void everyInputIsNamedForScreenReaders() {
        openWindow();
        const auto inputs = window->findChildren<QWidget*>();
        for (auto* widget : inputs) {
            if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QTimeEdit*>(widget)) {
                if (widget->parentWidget() && qobject_cast<QComboBox*>(widget->parentWidget())) {
                    continue;
                }
                if (qobject_cast<QTimeEdit*>(widget->parentWidget())) {
                    continue;
                }
                QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
            }
        }
        QCOMPARE(control("edtConfigName")->accessibleName(), QStringLiteral("Namn"));
        QCOMPARE(control<QLabel>("Label3")->buddy(), control("edtConfigName"));
    }

    void anEmptyStoreShowsNoConfiguration() {
        openWindow();
        QCOMPARE(control<QComboBox>("cmbConfigs")->count(), 0);
        QVERIFY(!control("btnConfigRemove")->isEnabled());
        QVERIFY(control("btnConfigAdd")->isEnabled());
        QVERIFY(!control("edtConfigName")->isEnabled());
        QVERIFY(control<QLineEdit>("edtConfigName")->text().isEmpty());
        QVERIFY(!control("buDataprovider")->isEnabled());
        QVERIFY(control("buValjKatalog")->isEnabled());
        QVERIFY(control("buTestaAnslutning")->isEnabled());
        QVERIFY(control<QLineEdit>("edPrevrun")->text().isEmpty());
        QVERIFY(control<QLineEdit>("edNextrun")->text().isEmpty());
    }

    void storedConfigurationsAreListedAndTheFirstShown() {
        storeConfig(0, "Göteborg");
        storeConfig(1, "Malmö");
        openWindow();
        QCOMPARE(configNames(), (QStringList{QStringLiteral("Göteborg"), QStringLiteral("Malmö")}));
        QCOMPARE(control<QComboBox>("cmbConfigs")->currentIndex(), 0);
        QVERIFY(control("btnConfigRemove")->isEnabled());
        QVERIFY(control("edtConfigName")->isEnabled());
        QCOMPARE(control<QLineEdit>("edtConfigName")->text(), QStringLiteral("Göteborg"));
        QCOMPARE(control<QLineEdit>("edDataprovider")->text(), QStringLiteral("Göteborg.udl"));
        QCOMPARE(control<QLineEdit>("edExportkatalog")->text(), QStringLiteral("/srv/Göteborg/"));
        QCOMPARE(control<QLineEdit>("edExportfilname")->text(), QStringLiteral("Göteborg_fil"));
    }

    void f5ReloadsWhatAnotherWriterChanged_data() {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("focus");
        QTest::addRow("plain on the name")
            << Qt::KeyboardModifiers() << QStringLiteral("edtConfigName");
        QTest::addRow("shift on the list")
            << Qt::KeyboardModifiers(Qt::ShiftModifier) << QStringLiteral("cmbConfigs");
        QTest::addRow("ctrl on a button")
            << Qt::KeyboardModifiers(Qt::ControlModifier) << QStringLiteral("btnSpara");
        QTest::addRow("ctrl+shift on the time")
            << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
            << QStringLiteral("dtpTid");
    }

    void f5ReloadsWhatAnotherWriterChanged() {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, focus);
        storeConfig(0, "Före");
        openWindow();
        storeConfig(0, "Efter");
        storeConfig(1, "Ny");
        auto* target = window->findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F5, modifiers);
        QCOMPARE(configNames(), (QStringList{QStringLiteral("Efter"), QStringLiteral("Ny")}));
        QCOMPARE(control<QLineEdit>("edtConfigName")->text(), QStringLiteral("Efter"));
    }

    void f5DropsAnUnsavedName() {
        storeConfig(0, "Lagrad");
        openWindow();
        auto* name = control<QLineEdit>("edtConfigName");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Ändrad"));
        QTest::keyClick(name, Qt::Key_F5);
        QCOMPARE(name->text(), QStringLiteral("Lagrad"));
        QCOMPARE(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name"),
                 std::string("Lagrad"));
    }

    void f5KeepsTheSelectedPositionAsFarAsTheListAllows() {
        storeConfig(0, "A");
        storeConfig(1, "B");
        storeConfig(2, "C");
        openWindow();
        control<QComboBox>("cmbConfigs")->setCurrentIndex(2);
        byOther([] { vemlo::DeleteRegKey(RegRoot::LocalMachine, kSlots + "2"); });
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(control<QComboBox>("cmbConfigs")->currentIndex(), 1);
        QCOMPARE(control<QLineEdit>("edtConfigName")->text(), QStringLiteral("B"));
    }

    void theFirstShowSetsUpTheEnvironment() {
        twins().shellFolders.set(platform::kFolderAppData, "/home/anna/.local/share");
        twins().shellFolders.set(platform::kFolderProgramFilesCommon, "/opt/common");
        openWindow();
        QCOMPARE(vemlo::g_DataLinksPath, std::string("/opt/common/System/Ole DB/Data Links/"));
        QCOMPARE(vemlo::g_ProgramKey, std::string("_srv_lumra\\"));
        QVERIFY(twins().files.folderExists("/home/anna/.local/share/Vemlo/Vemlo Suite"));
        QVERIFY(twins().boxes.shown().empty());
    }

    void f5PicksUpANewDefaultDataProvider() {
        twins().shellFolders.set(platform::kFolderProgramFilesCommon, "/opt/common");
        openWindow();
        QCOMPARE(vemlo::g_DefaultDataProvider,
                 std::string("/opt/common/System/Ole DB/Data Links/ERROR"));
        vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "ny.udl");
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(vemlo::g_DefaultDataProvider,
                 std::string("/opt/common/System/Ole DB/Data Links/ny.udl"));
    }

    void anUnreadableCurrentFolderIsReportedAndTheWindowStays() {
        twins().files.setCurrentFolder("");
        openWindow();
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(twins().boxes.shown()[0].kind, platform::BoxKind::Error);
        QCOMPARE(twins().boxes.shown()[0].text, std::string("Unable to get Current path."));
        QVERIFY(window->isVisible());
    }

    void escapeClosesWithoutSaving_data() {
        QTest::addColumn<QString>("focus");
        for (const char* name : {"edtConfigName", "cmbConfigs", "btnSpara", "edExportfilname"}) {
            QTest::addRow("%s", name) << QString::fromUtf8(name);
        }
    }

    void escapeClosesWithoutSaving() {
        QFETCH(QString, focus);
        storeConfig(0, "Lagrad");
        openWindow();
        auto* name = control<QLineEdit>("edtConfigName");
        name->setText(QStringLiteral("Osparad"));
        auto* target = window->findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name"),
                 std::string("Lagrad"));
        QVERIFY(twins().boxes.shown().empty());
    }

    void theCloseButtonCloses() {
        openWindow();
        QTest::mouseClick(control("buStang"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }

    void resizingMovesOnlyTheCloseButton() {
        openWindow();
        const auto groups = window->findChildren<QGroupBox*>();
        QList<QRect> before;
        for (auto* group : groups) {
            before << group->geometry();
        }
        auto* close = control("buStang");
        const int rightGap = close->parentWidget()->width() - close->geometry().right();
        const QPoint save = control("btnSpara")->pos();
        window->resize(800, 650);
        QTRY_COMPARE(control("pnlBottom")->width(), 800);
        for (int i = 0; i < groups.size(); ++i) {
            QCOMPARE(groups[i]->geometry(), before[i]);
        }
        QCOMPARE(close->parentWidget()->width() - close->geometry().right(), rightGap);
        QCOMPARE(control("btnSpara")->pos(), save);
        QCOMPARE(control("sbLumraStatus")->width(), 800);
        QCOMPARE(control("pnlTop")->width(), 800);
    }

    void anErrorInAGuardedHandlerIsShownAndTheWindowStaysOpen() {
        openWindow();
        auto* button = control<QPushButton>("buTestaAnslutning");
        ThrowingHandler handler;
        vemlo::ConnectGuarded(button, &QPushButton::clicked, &handler, &ThrowingHandler::fire);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(twins().boxes.shown()[0].kind, platform::BoxKind::Error);
        QCOMPARE(twins().boxes.shown()[0].text, std::string("'x' is not a valid date and time."));
        QCOMPARE(twins().boxes.shown()[0].title, QCoreApplication::applicationName().toStdString());
        QVERIFY(window->isVisible());
    }

    void theHandlerAddsAFullStopOnlyAfterCharactersAboveIt_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::addRow("letter") << QStringLiteral("Unable to get Current path")
                                << QStringLiteral("Unable to get Current path.");
        QTest::addRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::addRow("exclamation sorts before")
            << QStringLiteral("Stop!") << QStringLiteral("Stop!");
        QTest::addRow("digit sorts after")
            << QStringLiteral("error=5") << QStringLiteral("error=5.");
        QTest::addRow("swedish letter")
            << QStringLiteral("Åtkomst nekad") << QStringLiteral("Åtkomst nekad.");
        QTest::addRow("empty") << QStringLiteral("") << QStringLiteral("");
    }

    void theHandlerAddsAFullStopOnlyAfterCharactersAboveIt() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(vemlo::DefaultHandlerText(message.toStdString())), shown);
    }

    void aHiveThatIsNotAStoreIsReportedOnceAtStart() {
        testing_support::WriteFileBytes(machineHive(), "garbage bytes");
        hives->reopen();
        window = StartMainWindow(*hives->store);
        QVERIFY(window);
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        const auto& box = twins().boxes.shown()[0];
        QCOMPARE(box.kind, platform::BoxKind::Error);
        QVERIFY(box.text.starts_with("Inställningslagret kan inte användas."));
        QCOMPARE(box.text.substr(box.text.find('\r', box.text.find('\r') + 1) + 1),
                 "Inställningsfilen '" + machineHive() +
                     "' är inget inställningslager eller är skadad.");
        QVERIFY(box.text.find("user.hive") == std::string::npos);
        QCOMPARE(control<QComboBox>("cmbConfigs")->count(), 0);
        QCOMPARE(testing_support::ReadFileBytes(machineHive()), std::string("garbage bytes"));
    }

    void aStartWithoutProblemsShowsNoBox() {
        window = StartMainWindow(*hives->store);
        QVERIFY(window && window->isVisible());
        QVERIFY(twins().boxes.shown().empty());
    }

    void anErrorWhileTheWindowIsBuiltIsShownAndEndsTheStart() {
        auto withoutStore = twins().wiring();
        withoutStore.settingsStore = nullptr;
        twins().wire(withoutStore);
        window = StartMainWindow(*hives->store);
        QVERIFY(!window);
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(twins().boxes.shown()[0].text,
                 std::string("The toolkit has no settings store set up."));
    }

    void aLockedHiveAtStartIsReportedAndF5ReadsItWhole() {
        storeConfig(0, "A");
        storeConfig(1, "B");
        QCOMPARE(hives->store->hiveProblem(platform::Hive::Machine), std::string());
        {
            testing_support::HeldLock lock(machineHive());
            openWindow();
        }
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        const auto& box = twins().boxes.shown()[0];
        QCOMPARE(box.kind, platform::BoxKind::Error);
        QVERIFY(box.text.starts_with("Exportkonfigurationerna kunde inte läsas in helt."));
        QVERIFY(box.text.find("Inställningsfilen '" + machineHive() +
                              "' är låst av ett annat program.") != std::string::npos);
        QCOMPARE(configNames(), QStringList());
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(configNames(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    }

    // Each statement used to wait five seconds on its own: the window showed after 40 s, F5
    // froze it for 30 s. Twice the budget leaves room for a slow machine, never for a wait per
    // statement.
    void eachActionUnderALockEndsWithinItsBudgetAndWritesNothing() {
        storeConfig(0, "A");
        QCOMPARE(hives->store->hiveProblem(platform::Hive::Machine), std::string());
        const auto within = [](const std::function<void()>& action) {
            QElapsedTimer timer;
            timer.start();
            action();
            return timer.elapsed() < 10000;
        };
        {
            testing_support::HeldLock lock(machineHive());
            QVERIFY(within([&] { window = StartMainWindow(*hives->store); }));
            QVERIFY(window && QTest::qWaitForWindowExposed(window.get()));
            QCOMPARE(twins().boxes.shown().size(), size_t{1});
            QVERIFY(within([&] { QTest::keyClick(window.get(), Qt::Key_F5); }));
            QCOMPARE(twins().boxes.shown().size(), size_t{2});
            QVERIFY(twins().boxes.shown()[1].text.starts_with(
                "Uppdateringen kunde inte läsa in schemat och exportkonfigurationerna."));
        }
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(configNames(), QStringList{QStringLiteral("A")});
        const auto before = testing_support::ReadFileBytes(machineHive());
        {
            testing_support::HeldLock lock(machineHive());
            QVERIFY(within(
                [&] { QTest::mouseClick(control<QPushButton>("btnSpara"), Qt::LeftButton); }));
            // The first read of Spara, the previous run's, already meets the lock.
            QCOMPARE(twins().boxes.shown().size(), size_t{3});
            QVERIFY(twins().boxes.shown()[2].text.starts_with(
                "Inställningarna lästes inte in helt och sparas därför inte."));
            QVERIFY(twins().boxes.shown()[2].text.find("är låst av ett annat program.") !=
                    std::string::npos);
        }
        QCOMPARE(testing_support::ReadFileBytes(machineHive()), before);
    }

    void theHourglassShowsFromTheFirstWaitForALockToTheEndOfTheAction() {
        std::optional<Qt::CursorShape> during;
        vemlo::RunGuarded([&] {
            const platform::StoreDeadline call;
            QVERIFY(!QGuiApplication::overrideCursor());
            platform::StoreDeadline::NoteWaiting();
            during = QGuiApplication::overrideCursor()->shape();
        });
        QCOMPARE(during, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void screenReadersHearTheStatusItemsAsRadioButtonsAndEachGroupByItsTitle() {
        openWindow();
        auto* status = control<TRadioGroup>("rgStatus");
        for (int i = 0; i < status->count(); ++i) {
            QCOMPARE(QAccessible::queryAccessibleInterface(status->item(i))->role(),
                     QAccessible::RadioButton);
        }
        status->setItemIndex(3);
        status->setItemIndex(-1);
        QCOMPARE(status->itemIndex(), -1);
        const std::pair<const char*, const char*> groups[] = {
            {"GroupBox2", "Konfiguration"},
            {"GroupBox1", "Databaskoppling"},
            {"gbExportkatalog", "Exportuppgifter"},
            {"gbService", "Service"},
            {"rgStatus", "Status"}};
        for (const auto& [name, title] : groups) {
            QCOMPARE(QAccessible::queryAccessibleInterface(control(name))->text(QAccessible::Name),
                     QString::fromUtf8(title));
        }
    }
};

int main(int argc, char** argv) {
    // A plain application: an error that got past the guard would end the test.
    QApplication application(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
