// lumra-export-ctl's service commands against Debian's own systemd, its system bus and polkit,
// in namespaces of the test's own, as root and as other users without a terminal.
#include "tests/support/child_process.h"
#include "tests/support/real_systemd.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

const std::string kUnit = "VemloLumraBokfExport.service";
const std::string kRuns = "[Unit]\nDescription=The export service, as a test has it\n"
                          "[Service]\nType=exec\nExecStart=/bin/sleep infinity\n";

} // namespace

class CtlSystemdRealTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::RealSystemd> systemd;
    std::string reachable;

    // "CODE OUTPUT", stdout and stderr together, without a terminal on any of them.
    QString ctlAs(int user, const std::string& arguments) {
        const auto run = testing_support::RunChild(
            {"/bin/sh", "-c", "'" + reachable + "' " + arguments + " </dev/null 2>&1"}, user);
        return QString::number(run.exitCode) + QLatin1Char(' ') +
               QString::fromStdString(run.output).trimmed();
    }

private Q_SLOTS:
    void initTestCase() {
        systemd =
            std::make_unique<testing_support::RealSystemd>(SYSTEMD_LAUNCHER, POLKIT_RULE_PATH);
        if (!systemd->skipReason().isEmpty()) {
            QSKIP(qPrintable(systemd->skipReason()));
        }
        QVERIFY2(systemd->failure().isEmpty(), qPrintable(systemd->failure()));
        std::string problem;
        reachable = testing_support::ReachableCopy(CTL_PATH, problem);
        QVERIFY2(!reachable.empty(), problem.c_str());
        testing_support::SetEnvironment("DBUS_SYSTEM_BUS_ADDRESS",
                                        systemd->address().toStdString().c_str());
    }

    void cleanup() { systemd->stopUnit(kUnit); }

    void cleanupTestCase() {
        systemd.reset();
        if (!reachable.empty()) {
            std::filesystem::remove_all(std::filesystem::path(reachable).parent_path());
        }
    }

    void rootStartsAndStopsWithTheButtonsRules() {
        QVERIFY(systemd->installUnit(kUnit, kRuns));
        QCOMPARE(ctlAs(-1, "service start"), QStringLiteral("0 Status: SERVICE_RUNNING"));
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("active"));
        QCOMPARE(ctlAs(-1, "service start"),
                 QStringLiteral("1 lumra-export-ctl: An error occurred while trying to start the "
                                "service!\nStatus: SERVICE_RUNNING"));
        QCOMPARE(ctlAs(-1, "--json service status"),
                 QStringLiteral("0 {\n  \"ServiceState\": \"SERVICE_RUNNING\"\n}"));
        QCOMPARE(ctlAs(-1, "service stop"), QStringLiteral("0 Status: SERVICE_STOPPED"));
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("inactive"));
        QCOMPARE(ctlAs(-1, "service stop"), QStringLiteral("0 Status: SERVICE_STOPPED"));
    }

    void aServiceNotInstalledFailsBoth() {
        QVERIFY(systemd->removeUnit(kUnit));
        QCOMPARE(ctlAs(-1, "service start"),
                 QStringLiteral("1 lumra-export-ctl: An error occurred while trying to start the "
                                "service!\nStatus: no state could be read"));
        QCOMPARE(ctlAs(-1, "service status"), QStringLiteral("1 Status: no state could be read"));
    }

    // Without a terminal nobody can be asked for authorisation: the refusal says so, at once.
    void aUserWithoutRightsAndTerminalIsToldWhy() {
        QVERIFY(systemd->installUnit(kUnit, kRuns));
        QElapsedTimer timer;
        timer.start();
        const QString result =
            ctlAs(testing_support::RealSystemd::kUserWithoutRights, "service start");
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(result.startsWith(QStringLiteral("1 lumra-export-ctl: An error occurred while "
                                                  "trying to start the service!\n"
                                                  "lumra-export-ctl: no terminal to ask for "
                                                  "authorisation on")),
                 qPrintable(result));
        QVERIFY2(result.endsWith(QStringLiteral("Status: SERVICE_STOPPED")), qPrintable(result));
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("inactive"));
    }

    // On a terminal the service manager's question comes through a text agent there, as with
    // systemctl. Here polkit runs in systemd's PID namespace and cannot see the caller, so the
    // agent cannot register: what shows is that it was started on the terminal and that the
    // refusal still comes at once (on a host the agent asks for an administrator's password).
    void aUserOnATerminalIsAskedThere() {
        QVERIFY(systemd->installUnit(kUnit, kRuns));
        QElapsedTimer timer;
        timer.start();
        const auto run =
            testing_support::RunChild({"/bin/sh", "-c",
                                       "printf 'wrong\\n' | script -qec \"'" + reachable +
                                           "' service start\" /dev/null 2>&1"},
                                      testing_support::RealSystemd::kUserWithoutRights);
        QVERIFY2(timer.elapsed() < 15'000, qPrintable(QString::number(timer.elapsed())));
        const QString output = QString::fromStdString(run.output);
        QVERIFY2(output.contains(QStringLiteral("AUTHENTICATING FOR")) ||
                     output.contains(QStringLiteral("registering authentication agent")),
                 qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("An error occurred while trying to start the "
                                                "service!")),
                 qPrintable(output));
        QVERIFY2(!output.contains(QStringLiteral("no terminal")), qPrintable(output));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("inactive"));
    }

    void aMemberOfTheRuleGroupStartsAndStops() {
        QVERIFY(systemd->installUnit(kUnit, kRuns));
        QCOMPARE(ctlAs(testing_support::RealSystemd::kServiceAdministrator, "service start"),
                 QStringLiteral("0 Status: SERVICE_RUNNING"));
        QCOMPARE(ctlAs(testing_support::RealSystemd::kServiceAdministrator, "service stop"),
                 QStringLiteral("0 Status: SERVICE_STOPPED"));
    }
};

QTEST_MAIN(CtlSystemdRealTest)
#include "ctl_systemd_real_test.moc"
