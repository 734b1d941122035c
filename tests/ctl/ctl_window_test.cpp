// lumra-export-ctl as a process beside the window on the same hive files: what one changes is
// what the other shows; and what a process of its own must keep to (no start-up environment, the
// store's wait bound, the exit codes).
#include "tests/support/child_process.h"
#include "tests/support/sqlite_hives.h"
#include "tests/support/window_driver.h"
#include "toolkit/settings/registry_batch.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <nlohmann/json.hpp>

namespace {

// A JSON value as text: a string as it is, anything else as JSON.
QString Text(const nlohmann::json& value) {
    return QString::fromStdString(value.is_string() ? value.get<std::string>() : value.dump());
}

} // namespace

class CtlWindowTest : public QObject, public testing_support::WindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::SqliteHives> hives;

    // The program on the test's hive files, as a process of its own.
    testing_support::Finished ctl(std::vector<std::string> args) {
        args.insert(args.begin(), CTL_PATH);
        return testing_support::RunChild(args);
    }

    nlohmann::json ctlJson(const std::vector<std::string>& args) {
        const auto result = ctl(args);
        if (result.exitCode != 0) {
            return {{"exit", result.exitCode}};
        }
        return nlohmann::json::parse(result.output);
    }

private Q_SLOTS:
    void init() {
        hives = std::make_unique<testing_support::SqliteHives>();
        testing_support::SetEnvironment("VEMLO_MACHINE_HIVE", hives->machineHive().c_str());
        testing_support::SetEnvironment("VEMLO_USER_HIVE", hives->userHive().c_str());
        testing_support::SetEnvironment("VEMLO_APPDATA", hives->folder.file("appdata").c_str());
        testing_support::SetEnvironment("LC_ALL", "C.UTF-8");
    }

    void cleanup() {
        window.reset();
        hives.reset();
    }

    void whatTheProgramChangesIsWhatTheWindowShows() {
        QCOMPARE(ctl({"config", "add", "--name", "Lager", "--file", "lagerfil"}).exitCode, 0);
        QCOMPARE(ctl({"config", "add", "--name", "Ekonomi", "--folder", "/srv/eko"}).exitCode, 0);
        QCOMPARE(ctl({"config", "add"}).exitCode, 0);
        QCOMPARE(ctl({"config", "set", "Ekonomi", "--name", "Eko"}).exitCode, 0);
        QCOMPARE(ctl({"config", "remove", "--slot", "0"}).exitCode, 0);
        QCOMPARE(ctl({"schedule", "set", "--period", "vecka", "--day", "fredag", "--time", "07:30"})
                     .exitCode,
                 0);
        openWindow();
        QCOMPARE(configNames(), QStringList({QStringLiteral("Eko"), QStringLiteral("Config-2")}));
        QCOMPARE(control<QLineEdit>("edtConfigName")->text(), QStringLiteral("Eko"));
        QCOMPARE(control<QLineEdit>("edExportkatalog")->text(), QStringLiteral("/srv/eko/"));
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Vecka"));
        QCOMPARE(control<QComboBox>("cbDag")->currentText(), QStringLiteral("Fredag"));
    }

    void whatTheWindowSavesIsWhatTheProgramShows() {
        QCOMPARE(ctl({"config", "add", "--name", "Först"}).exitCode, 0);
        openWindow();
        click("btnConfigAdd");
        retype("edtConfigName", QStringLiteral("Andra"));
        retype("edExportfilname", QStringLiteral("andrafil"));
        click("btnConfigAdd");
        pick("cbPeriod", 3);
        click("btnSpara");
        auto status = ctlJson({"--json", "status"});
        QCOMPARE(Text(status["Timers"]["Period"]), QStringLiteral("30"));
        QCOMPARE(status["Configurations"].size(), std::size_t{3});
        QCOMPARE(Text(status["Configurations"][1]["Name"]), QStringLiteral("Andra"));
        QCOMPARE(Text(status["Configurations"][1]["ExportFilename"]), QStringLiteral("andrafil"));
        QCOMPARE(Text(status["Configurations"][2]["Name"]), QStringLiteral("Config-2"));
        pick("cmbConfigs", 0);
        click("btnConfigRemove");
        click("btnSpara");
        const auto list = ctlJson({"config", "list", "--json"});
        QCOMPARE(list.size(), std::size_t{2});
        QCOMPARE(Text(list[0]["Name"]), QStringLiteral("Andra"));
        QCOMPARE(Text(list[1]["Slot"]), QStringLiteral("1"));
        // And back: the window's F5 reads what the program changed meanwhile.
        QCOMPARE(ctl({"config", "set", "Andra", "--name", "Tredje"}).exitCode, 0);
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(configNames(),
                 QStringList({QStringLiteral("Tredje"), QStringLiteral("Config-2")}));
    }

    // The program makes no suite folder in the caller's application data and needs no display.
    void noStartUpEnvironmentRuns() {
        testing_support::SetEnvironment("DISPLAY", nullptr);
        testing_support::SetEnvironment("WAYLAND_DISPLAY", nullptr);
        QCOMPARE(ctl({"status"}).exitCode, 0);
        QCOMPARE(ctl({"config", "add"}).exitCode, 0);
        QVERIFY(!std::filesystem::exists(hives->folder.file("appdata")));
    }

    // As vemlo-reg: a store locked by another program is waited for five seconds at most, then
    // the command fails with exit code 3 and nothing written.
    void aLockedStoreIsAStoreFailureAfterTheBudget() {
        QCOMPARE(ctl({"config", "add"}).exitCode, 0);
        QElapsedTimer timer;
        {
            vemlo::RegistryBatch batch(vemlo::RegRoot::LocalMachine);
            QVERIFY(batch.begun());
            QVERIFY(
                vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, "SOFTWARE\\Held", "x", "1"));
            timer.start();
            QCOMPARE(ctl({"config", "remove", "Config-0"}).exitCode, 3);
        }
        QVERIFY2(timer.elapsed() >= 4500 && timer.elapsed() < 9000,
                 qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(ctl({"config", "list"}).output, std::string("0\tConfig-0\n"));
    }

    void exitCodesOfTheProcess() {
        QCOMPARE(ctl({"--help"}).exitCode, 0);
        QCOMPARE(ctl({}).exitCode, 2);
        QCOMPARE(ctl({"config", "show", "Saknas"}).exitCode, 1);
        QCOMPARE(ctl({"service", "start"}).exitCode, 1);
    }
};

QTEST_MAIN(CtlWindowTest)
#include "ctl_window_test.moc"
