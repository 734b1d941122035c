#include "admin/service_control.h"
#include "platform/linux/systemd_service_manager.h"
#include "platform/system_clock.h"
#include "tests/support/child_process.h"
#include "tests/support/real_systemd.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_driver.h"

#include <QElapsedTimer>
#include <QTest>
#include <csignal>
#include <sys/wait.h>

namespace {

const std::string kUnit = "VemloLumraBokfExport.service";
const std::string kService = lumra::kExportServiceName;
const char* const kStartFailed = "An error occurred while trying to start the service!";
const char* const kStopFailed = "An error occurred while trying to stop the service!";
// A press that fails must not take long: the wait ends as soon as the unit has come to rest.
constexpr qint64 kQuickFailure = 5000;

std::string Unit(const std::string& unitSection, const std::string& serviceSection) {
    return "[Unit]\nDescription=The export service, as a test has it\n" + unitSection +
           "[Service]\n" + serviceSection;
}

const std::string kRuns = Unit("", "Type=exec\nExecStart=/bin/sleep infinity\n");

// A systemd that another program holds (hold_real_systemd), in a process group of its own, for
// the tests of what a killed test leaves behind. Whatever the test leaves, goes with it.
class HeldSystemd {
public:
    HeldSystemd()
        : child_(testing_support::StartChild(
              {HOLD_REAL_SYSTEMD_PATH, SYSTEMD_LAUNCHER, POLKIT_RULE_PATH})) {
        char cgroup[4096] = {};
        char folder[4096] = {};
        if (child_.out && std::fgets(cgroup, sizeof cgroup, child_.out) &&
            std::fgets(folder, sizeof folder, child_.out)) {
            cgroup_ = QString::fromUtf8(cgroup).trimmed().toStdString();
            folder_ = QString::fromUtf8(folder).trimmed().toStdString();
        }
    }
    ~HeldSystemd() {
        kill(SIGKILL);
        if (!cgroup_.empty() && std::filesystem::exists(cgroup_)) {
            testing_support::RemoveCgroup(cgroup_);
        }
        std::error_code error;
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_, error);
        }
    }
    HeldSystemd(const HeldSystemd&) = delete;
    HeldSystemd& operator=(const HeldSystemd&) = delete;

    // Whether systemd runs and its cgroup folder is there.
    bool runs() const { return !cgroup_.empty() && std::filesystem::exists(cgroup_); }
    bool cgroupGone() const { return !std::filesystem::exists(cgroup_); }
    // A signal to the holder's whole process group, as a terminal's Ctrl-C sends.
    void signalGroup(int signal) const { ::kill(-child_.pid, signal); }
    // The holder killed on its own, as a test dies; waited for.
    void kill(int signal) {
        if (child_.pid > 0) {
            ::kill(child_.pid, signal);
            testing_support::Wait(child_.pid);
            testing_support::ReadAll(child_);
            child_.pid = -1;
        }
    }

private:
    testing_support::Child child_;
    std::filesystem::path cgroup_;
    std::filesystem::path folder_;
};

} // namespace

// The backend and the window against Debian's own systemd, its system bus and polkit, in
// namespaces of the test's own.
class SystemdRealTest : public QObject, public testing_support::WindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::RealSystemd> systemd;
    std::unique_ptr<platform::SystemdServiceManager> services;
    std::unique_ptr<testing_support::ToolkitTwins> twins;
    platform::SystemClock clock;

    bool install(const std::string& text) { return systemd->installUnit(kUnit, text); }

    // Starts the unit as root, as somebody else might have, and waits until it is active and
    // has settled, so that it reads as running.
    bool startAsRoot() {
        systemd->callManager(QStringLiteral("StartUnit"),
                             {QString::fromStdString(kUnit), QStringLiteral("replace")});
        if (!QTest::qWaitFor([&] { return systemd->activeState(kUnit) == QLatin1String("active"); },
                             10'000)) {
            return false;
        }
        QTest::qSleep(static_cast<int>(platform::SystemdServiceManager::kSettleTime.count()));
        return true;
    }

    // The request as another user, through a program of its own: "true 4" and the like.
    QString requestAs(uid_t user, const char* verb) {
        const auto request = testing_support::RunChild(
            {SERVICE_REQUEST_PATH, systemd->address().toStdString(), verb}, static_cast<int>(user));
        if (request.exitCode != 0) {
            return QStringLiteral("exit status %1").arg(request.exitCode);
        }
        return QString::fromStdString(request.output).trimmed();
    }

private Q_SLOTS:
    void initTestCase() {
        systemd =
            std::make_unique<testing_support::RealSystemd>(SYSTEMD_LAUNCHER, POLKIT_RULE_PATH);
        if (!systemd->skipReason().isEmpty()) {
            QSKIP(qPrintable(systemd->skipReason()));
        }
        QVERIFY2(systemd->failure().isEmpty(), qPrintable(systemd->failure()));
    }

    void init() {
        services =
            std::make_unique<platform::SystemdServiceManager>(systemd->address().toStdString());
        twins = std::make_unique<testing_support::ToolkitTwins>();
        auto wiring = twins->wiring();
        wiring.clock = &clock;
        wiring.serviceManager = services.get();
        twins->wire(wiring);
    }

    void cleanup() {
        window.reset();
        twins.reset();
        services.reset();
    }

    void cleanupTestCase() { systemd.reset(); }

    void theWindowShowsTheStateAtStart_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("item");
        QTest::newRow("stopped") << true << false << 0;
        QTest::newRow("running") << true << true << 3;
        QTest::newRow("not installed") << false << false << -1;
    }

    void theWindowShowsTheStateAtStart() {
        QFETCH(bool, installed);
        QFETCH(bool, running);
        QFETCH(int, item);
        if (installed) {
            QVERIFY(install(kRuns));
        } else {
            QVERIFY(systemd->removeUnit(kUnit));
        }
        if (running) {
            QVERIFY(startAsRoot());
        }
        openWindow();
        QCOMPARE(shownServiceItem(), item);
    }

    void f5ReadsTheStateAgain() {
        QVERIFY(install(kRuns));
        openWindow();
        QCOMPARE(shownServiceItem(), 0);
        QVERIFY(startAsRoot());
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(shownServiceItem(), 3);
    }

    void theWindowStartsAndStopsARealUnit() {
        QVERIFY(install(kRuns));
        openWindow();
        QCOMPARE(shownServiceItem(), 0);
        click("BitBtn1");
        QCOMPARE(shownServiceItem(), 3);
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("active"));
        click("btnStopService");
        QCOMPARE(shownServiceItem(), 0);
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("inactive"));
        QVERIFY(twins->boxes.shown().empty());
    }

    void aProgramThatCannotRunFailsEveryPress_data() {
        QTest::addColumn<QString>("service");
        QTest::newRow("Type=simple, exits at once")
            << QStringLiteral("Type=simple\nExecStart=/bin/false\n");
        QTest::newRow("Type=exec, exits at once")
            << QStringLiteral("Type=exec\nExecStart=/bin/false\n");
        QTest::newRow("Type=exec, no such program")
            << QStringLiteral("Type=exec\nExecStart=/nonexistent/lumra-bokforing-service\n");
        QTest::newRow("Type=simple, exits at once, Restart=on-failure")
            << QStringLiteral("Type=simple\nExecStart=/bin/false\nRestart=on-failure\n");
    }

    void aProgramThatCannotRunFailsEveryPress() {
        QFETCH(QString, service);
        QVERIFY(install(Unit("", service.toStdString())));
        openWindow();
        for (int press = 1; press <= 3; ++press) {
            QElapsedTimer timer;
            timer.start();
            click("BitBtn1");
            QVERIFY2(timer.elapsed() < kQuickFailure, qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(twins->boxes.shown().size(), std::size_t(press));
            QCOMPARE(shownServiceItem(), 0);
        }
        QCOMPARE(twins->boxes.shownTexts().front(), std::string(kStartFailed));
        QVERIFY(systemd->activeState(kUnit) != QLatin1String("active"));
    }

    void aStartConditionThatFailsEndsEveryPressAtOnce() {
        QVERIFY(install(Unit("ConditionPathExists=/nonexistent/vemlo\n",
                             "Type=exec\nExecStart=/bin/sleep infinity\n")));
        for (int press = 1; press <= 3; ++press) {
            QElapsedTimer timer;
            timer.start();
            QVERIFY(!lumra::StartExportService("", kService));
            QVERIFY2(timer.elapsed() < kQuickFailure, qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(lumra::QueryServiceState("", kService), platform::kServiceStopped);
        }
    }

    // Restart= brings it back only after a while: the press ends when the program has ended,
    // not when the bound runs out.
    void aProgramThatEndsAndWaitsForRestartFailsThePressAtOnce() {
        QVERIFY(install(Unit("", "Type=exec\nExecStart=/bin/false\nRestart=on-failure\n"
                                 "RestartSec=20\nTimeoutStartSec=5\n")));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!lumra::StartExportService("", kService));
        QVERIFY2(timer.elapsed() < kQuickFailure, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(systemd->activeState(kUnit) != QLatin1String("active"));
    }

    void aSlowStartAndASlowStopAreWaitedFor() {
        QVERIFY(install(Unit("", "Type=exec\nExecStart=/bin/sleep infinity\n"
                                 "ExecStartPost=/bin/sleep 1.5\nExecStop=/bin/sleep 1.5\n")));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(lumra::StartExportService("", kService));
        QVERIFY(timer.elapsed() >= 1500);
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("active"));
        timer.restart();
        QVERIFY(lumra::StopExportService("", kService));
        QVERIFY(timer.elapsed() >= 1500);
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("inactive"));
    }

    void theWindowWithoutTheUnitShowsBothFailures() {
        QVERIFY(systemd->removeUnit(kUnit));
        openWindow();
        click("BitBtn1");
        click("btnStopService");
        QCOMPARE(twins->boxes.shownTexts(), (std::vector<std::string>{kStartFailed, kStopFailed}));
        QCOMPARE(shownServiceItem(), -1);
    }

    void aUserWithoutRightsIsRefusedAtOnce() {
        QVERIFY(install(kRuns));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(requestAs(testing_support::RealSystemd::kUserWithoutRights, "start"),
                 QStringLiteral("false 1"));
        QVERIFY2(timer.elapsed() < kQuickFailure, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(startAsRoot());
        QCOMPARE(requestAs(testing_support::RealSystemd::kUserWithoutRights, "stop"),
                 QStringLiteral("false 4"));
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("active"));
    }

    // A Ctrl-C reaches the test's whole process group, and then the test is killed: the
    // launcher still takes systemd and its cgroup folder down.
    void aTestInterruptedAndKilledLeavesNothingBehind() {
        HeldSystemd held;
        QVERIFY(held.runs());
        held.signalGroup(SIGINT);
        QTest::qSleep(300);
        held.kill(SIGKILL);
        QVERIFY(QTest::qWaitFor([&] { return held.cgroupGone(); }, 10'000));
    }

    // A harness's time-out kills the test with its launcher: the next fixture removes what
    // is left.
    void aTestKilledWithItsLauncherIsCleanedUpByTheNextFixture() {
        HeldSystemd held;
        QVERIFY(held.runs());
        held.signalGroup(SIGKILL);
        held.kill(SIGKILL);
        QVERIFY(held.runs());
        testing_support::RealSystemd next(SYSTEMD_LAUNCHER, POLKIT_RULE_PATH);
        QVERIFY(held.cgroupGone());
    }

    void aMemberOfTheRuleGroupStartsAndStops() {
        QVERIFY(install(kRuns));
        QCOMPARE(requestAs(testing_support::RealSystemd::kServiceAdministrator, "start"),
                 QStringLiteral("true 4"));
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("active"));
        QCOMPARE(requestAs(testing_support::RealSystemd::kServiceAdministrator, "stop"),
                 QStringLiteral("true 1"));
        QCOMPARE(systemd->activeState(kUnit), QStringLiteral("inactive"));
    }
};

QTEST_MAIN(SystemdRealTest)
#include "systemd_real_test.moc"
