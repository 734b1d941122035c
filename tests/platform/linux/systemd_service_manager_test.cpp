#include "admin/service_control.h"
#include "platform/linux/systemd_service_manager.h"
#include "platform/memory/set_clock.h"
#include "platform/system_clock.h"
#include "tests/support/private_session_bus.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_driver.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>
#include <limits>

namespace {

const QString kSystemd = QStringLiteral("org.freedesktop.systemd1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/systemd1");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kUnitInterface = QStringLiteral("org.freedesktop.systemd1.Unit");
const QString kServiceInterface = QStringLiteral("org.freedesktop.systemd1.Service");
const QString kUnit = QStringLiteral("VemloLumraBokfExport.service");
const QString kUnitPath =
    QStringLiteral("/org/freedesktop/systemd1/unit/VemloLumraBokfExport_service");
const std::string kService = lumra::kExportServiceName;
// The shortest pause the backend asks for while it waits.
constexpr std::chrono::milliseconds kLook{100};

} // namespace

// systemd is python3-dbusmock with the project's template, on a bus of the test's own that
// stands in for the system bus.
class SystemdServiceManagerTest : public QObject, public testing_support::WindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::PrivateSessionBus> bus;
    std::unique_ptr<testing_support::TempFolder> folder;
    std::unique_ptr<platform::SystemdServiceManager> services;
    platform::SystemClock systemClock;
    platform::SetClock setClock;
    std::unique_ptr<testing_support::ToolkitTwins> twins;

    void wire(platform::Clock& clock) {
        auto wiring = twins->wiring();
        wiring.clock = &clock;
        wiring.serviceManager = services.get();
        twins->wire(wiring);
    }

    // A call to the mock: on the manager, or on the unit's object for its properties.
    void mock(const QString& path, const QString& interface, const QString& method,
              const QVariantList& arguments) {
        auto message = QDBusMessage::createMethodCall(kSystemd, path, interface, method);
        message.setArguments(arguments);
        const auto reply = bus->call(message);
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    }
    void mockManager(const QString& method, const QVariantList& arguments) {
        mock(kManagerPath, kMock, method, arguments);
    }
    void setUnit(const QString& interface, const QVariantMap& properties) {
        mock(kUnitPath, kMock, QStringLiteral("UpdateProperties"), {interface, properties});
    }
    void addUnit(const QString& activeState) {
        mockManager(QStringLiteral("AddMockUnit"), {kUnit});
        setUnit(kUnitInterface, {{QStringLiteral("ActiveState"), activeState}});
    }

    QString log() const {
        return QString::fromStdString(testing_support::ReadFileBytes(folder->file("systemd.log")));
    }

    std::optional<platform::ServiceStatus> query() {
        const auto manager = services->openManager("", platform::kManagerConnect);
        const auto service =
            services->openService(manager, kService, platform::kServiceQueryStatus);
        std::optional<platform::ServiceStatus> result;
        platform::ServiceStatus status;
        if (services->queryStatus(service, status)) {
            result = status;
        }
        services->closeHandle(service);
        services->closeHandle(manager);
        return result;
    }

private Q_SLOTS:
    void initTestCase() {
        bus =
            std::make_unique<testing_support::PrivateSessionBus>(testing_support::BusRole::System);
        QVERIFY2(bus->isRunning(), "dbus-daemon did not start");
    }

    void init() {
        folder = std::make_unique<testing_support::TempFolder>();
        QVERIFY(bus->startTemplate(QStringLiteral(SYSTEMD_MOCK_TEMPLATE), kSystemd,
                                   QString::fromStdString(folder->file("systemd.log"))));
        services = std::make_unique<platform::SystemdServiceManager>(bus->address().toStdString());
        twins = std::make_unique<testing_support::ToolkitTwins>();
        setClock = platform::SetClock{};
        wire(systemClock);
    }

    void cleanup() {
        window.reset();
        twins.reset();
        services.reset();
        bus->stopMocks();
        folder.reset();
    }

    void cleanupTestCase() { bus.reset(); }

    void theStateComesFromFreezerJobAndActiveState_data() {
        QTest::addColumn<QString>("active");
        QTest::addColumn<QString>("freezer");
        QTest::addColumn<QString>("job");
        QTest::addColumn<uint>("state");
        const struct {
            const char* name;
            const char* active;
            const char* freezer;
            const char* job;
            uint state;
        } rows[] = {
            {"active", "active", "running", "", 4},
            {"reloading", "reloading", "running", "", 4},
            {"activating", "activating", "running", "", 2},
            {"deactivating", "deactivating", "running", "", 3},
            {"inactive", "inactive", "running", "", 1},
            {"failed", "failed", "running", "", 1},
            {"inactive with a start job", "inactive", "running", "start", 2},
            {"failed with a restart job", "failed", "running", "restart", 2},
            {"active with a stop job", "active", "running", "stop", 3},
            {"active with a reload job", "active", "running", "reload", 4},
            {"freezing", "active", "freezing", "", 6},
            {"frozen before a queued stop", "active", "frozen", "stop", 7},
            {"thawing", "active", "thawing", "", 5},
        };
        for (const auto& row : rows) {
            QTest::addRow("%s", row.name)
                << QString::fromUtf8(row.active) << QString::fromUtf8(row.freezer)
                << QString::fromUtf8(row.job) << row.state;
        }
    }

    void theStateComesFromFreezerJobAndActiveState() {
        QFETCH(QString, active);
        QFETCH(QString, freezer);
        QFETCH(QString, job);
        QFETCH(uint, state);
        addUnit(active);
        setUnit(kUnitInterface, {{QStringLiteral("FreezerState"), freezer}});
        if (!job.isEmpty()) {
            mockManager(QStringLiteral("AddMockJob"), {kUnit, job});
        }
        const auto status = query();
        QVERIFY(status);
        QCOMPARE(status->currentState, state);
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), state);
    }

    void theCheckpointRisesWhileAJobRunsAndTheHintStaysNearASecond_data() {
        QTest::addColumn<qulonglong>("timeoutStartUSec");
        QTest::addColumn<uint>("hint");
        QTest::addColumn<qint64>("bound");
        QTest::newRow("infinity") << std::numeric_limits<qulonglong>::max() << 1000u
                                  << qint64{180'000};
        QTest::newRow("ninety seconds") << qulonglong{90'000'000} << 1000u << qint64{90'000};
        QTest::newRow("a fifth of a second") << qulonglong{200'000} << 200u << qint64{30'000};
    }

    void theCheckpointRisesWhileAJobRunsAndTheHintStaysNearASecond() {
        QFETCH(qulonglong, timeoutStartUSec);
        QFETCH(uint, hint);
        QFETCH(qint64, bound);
        addUnit(QStringLiteral("inactive"));
        setUnit(kServiceInterface,
                {{QStringLiteral("TimeoutStartUSec"), QVariant::fromValue(timeoutStartUSec)}});
        mockManager(QStringLiteral("AddMockJob"), {kUnit, QStringLiteral("start")});
        const auto manager = services->openManager("", platform::kManagerConnect);
        const auto service =
            services->openService(manager, kService, platform::kServiceQueryStatus);
        for (std::uint32_t expected = 1; expected <= 3; ++expected) {
            platform::ServiceStatus status;
            QVERIFY(services->queryStatus(service, status));
            QCOMPARE(status, (platform::ServiceStatus{2, expected, hint}));
        }
        QCOMPARE(lumra::PendingWaitBound(
                     services->pendingTimeout(service, platform::PendingOperation::Start))
                     .count(),
                 bound);
        services->closeHandle(service);
        services->closeHandle(manager);
    }

    void aBusyUnitAlwaysAsksForAPause_data() {
        QTest::addColumn<QString>("active");
        QTest::addColumn<QString>("job");
        QTest::addColumn<uint>("state");
        QTest::newRow("a start job") << QStringLiteral("inactive") << QStringLiteral("start") << 2u;
        QTest::newRow("a reload job") << QStringLiteral("active") << QStringLiteral("reload") << 4u;
        QTest::newRow("waiting to be restarted") << QStringLiteral("activating") << QString() << 2u;
    }

    // A pause of at least the shortest hint, so that a caller polling on it never spins.
    void aBusyUnitAlwaysAsksForAPause() {
        QFETCH(QString, active);
        QFETCH(QString, job);
        QFETCH(uint, state);
        addUnit(active);
        setUnit(kServiceInterface,
                {{QStringLiteral("TimeoutStartUSec"), QVariant::fromValue(qulonglong{1'000})}});
        if (!job.isEmpty()) {
            mockManager(QStringLiteral("AddMockJob"), {kUnit, job});
        }
        const auto status = query();
        QVERIFY(status);
        QCOMPARE(status->currentState, state);
        QCOMPARE(status->checkPoint, 1u);
        QCOMPARE(std::chrono::milliseconds(status->waitHint), kLook);
    }

    void aStableUnitHasNoCheckpointAndNoHint() {
        addUnit(QStringLiteral("active"));
        QCOMPARE(query(), (platform::ServiceStatus{4, 0, 0}));
    }

    void aUnitThatStartsOrStops_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("start");
        QTest::addColumn<QString>("startEndsIn");
        QTest::addColumn<bool>("result");
        QTest::addColumn<uint>("state");
        QTest::addColumn<QString>("logged");
        QTest::newRow("a unit that starts")
            << QStringLiteral("inactive") << true << QStringLiteral("active") << true << 4u
            << QStringLiteral("StartUnit");
        QTest::newRow("a unit that stops")
            << QStringLiteral("active") << false << QStringLiteral("active") << true << 1u
            << QStringLiteral("StopUnit");
        QTest::newRow("a unit whose start fails")
            << QStringLiteral("inactive") << true << QStringLiteral("failed") << false << 1u
            << QStringLiteral("StartUnit");
    }

    void aUnitThatStartsOrStops() {
        QFETCH(QString, from);
        QFETCH(bool, start);
        QFETCH(QString, startEndsIn);
        QFETCH(bool, result);
        QFETCH(uint, state);
        QFETCH(QString, logged);
        addUnit(from);
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 300u, startEndsIn, QStringLiteral("inactive")});
        QCOMPARE(start ? lumra::StartExportService("KASSAN", kService)
                       : lumra::StopExportService("KASSAN", kService),
                 result);
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), state);
        QVERIFY(log().contains(QStringLiteral("Subscribe")));
        QVERIFY(log().contains(logged +
                               QStringLiteral(" \"VemloLumraBokfExport.service\" \"replace\"")));
    }

    void aUnitThatStaysActivatingIsGivenUpAtTheBound() {
        wire(setClock);
        addUnit(QStringLiteral("inactive"));
        setUnit(kServiceInterface, {{QStringLiteral("TimeoutStartUSec"),
                                     QVariant::fromValue(qulonglong{45'000'000})}});
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 0u, QString(), QStringLiteral("inactive")});
        QVERIFY(!lumra::StartExportService("KASSAN", kService));
        QCOMPARE(setClock.sleeps().size(), std::size_t{45});
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), 2u);
    }

    void aJobOverAtTheFirstLookEndsTheWaitAfterOneMoreLook_data() {
        QTest::addColumn<bool>("start");
        QTest::addColumn<QString>("jobEndsIn");
        QTest::addColumn<uint>("state");
        QTest::newRow("a start whose condition fails") << true << QStringLiteral("inactive") << 1u;
        QTest::newRow("a start that fails") << true << QStringLiteral("failed") << 1u;
        QTest::newRow("a stop that leaves the unit active")
            << false << QStringLiteral("active") << 4u;
    }

    // The job is gone and the unit is where it was: waiting on would only poll.
    void aJobOverAtTheFirstLookEndsTheWaitAfterOneMoreLook() {
        QFETCH(bool, start);
        QFETCH(QString, jobEndsIn);
        QFETCH(uint, state);
        wire(setClock);
        addUnit(start ? QStringLiteral("inactive") : QStringLiteral("active"));
        setUnit(kServiceInterface,
                {{QStringLiteral("TimeoutStartUSec"), QVariant::fromValue(qulonglong{1'000'000})},
                 {QStringLiteral("TimeoutStopUSec"), QVariant::fromValue(qulonglong{1'000'000})}});
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 0u, start ? jobEndsIn : QStringLiteral("active"),
                     start ? QStringLiteral("inactive") : jobEndsIn});
        QVERIFY(start ? !lumra::StartExportService("KASSAN", kService)
                      : !lumra::StopExportService("KASSAN", kService));
        QCOMPARE(setClock.sleeps(), std::vector<std::chrono::milliseconds>{kLook});
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), state);
    }

    void anActiveUnitSettlesBeforeItCountsAsRunning() {
        addUnit(QStringLiteral("inactive"));
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 0u, QStringLiteral("active"), QStringLiteral("inactive")});
        const auto manager = services->openManager("", platform::kManagerConnect);
        const auto service = services->openService(
            manager, kService, platform::kServiceStart | platform::kServiceQueryStatus);
        QVERIFY(services->startService(service));
        platform::ServiceStatus status;
        QVERIFY(services->queryStatus(service, status));
        QCOMPARE(status.currentState, platform::kServiceStartPending);
        QCOMPARE(status.checkPoint, 1u);
        QVERIFY2(status.waitHint >= kLook.count() &&
                     status.waitHint <= platform::SystemdServiceManager::kSettleTime.count(),
                 qPrintable(QString::number(status.waitHint)));
        QTest::qSleep(static_cast<int>(status.waitHint));
        QVERIFY(services->queryStatus(service, status));
        QCOMPARE(status, (platform::ServiceStatus{platform::kServiceRunning, 0, 0}));
        services->closeHandle(service);
        services->closeHandle(manager);
    }

    // systemd ends a simple unit's start job once the program is forked.
    void aProgramThatFailsRightAfterItsStartIsNotTakenForRunning() {
        addUnit(QStringLiteral("inactive"));
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 0u, QStringLiteral("active"), QStringLiteral("inactive")});
        mockManager(QStringLiteral("SetMockAfterStart"), {kUnit, 60u, QStringLiteral("fail")});
        QVERIFY(!lumra::StartExportService("KASSAN", kService));
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), 1u);
    }

    // Restart= starts it again at once; only the run's identity shows it. The wait runs to its
    // bound, the unit's own time-out, which on the set clock takes no time.
    void aUnitRestartedAgainAndAgainIsNotTakenForRunning() {
        wire(setClock);
        addUnit(QStringLiteral("inactive"));
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 0u, QStringLiteral("active"), QStringLiteral("inactive")});
        mockManager(QStringLiteral("SetMockAfterStart"), {kUnit, 50u, QStringLiteral("restart")});
        QVERIFY(!lumra::StartExportService("KASSAN", kService));
        std::chrono::milliseconds waited{0};
        for (const auto sleep : setClock.sleeps()) {
            waited += sleep;
        }
        QCOMPARE(waited.count(), 90'000);
    }

    void aUnitThatDoesNotExist() {
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), 0u);
        QVERIFY(!lumra::StartExportService("KASSAN", kService));
        QVERIFY(!lumra::StopExportService("KASSAN", kService));
        QVERIFY(!log().contains(QStringLiteral("StartUnit")));
    }

    void anInstalledUnitIsLoaded() {
        mockManager(QStringLiteral("AddMockInstalledUnit"), {kUnit});
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), 1u);
        QVERIFY(log().contains(QStringLiteral("LoadUnit \"VemloLumraBokfExport.service\"")));
    }

    void aManagerThatRefuses_data() {
        QTest::addColumn<QString>("error");
        QTest::newRow("access denied") << QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
        QTest::newRow("authorisation needed")
            << QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired");
    }

    void aManagerThatRefuses() {
        QFETCH(QString, error);
        addUnit(QStringLiteral("inactive"));
        mockManager(QStringLiteral("SetMockRefusal"), {error});
        QVERIFY(!lumra::StartExportService("KASSAN", kService));
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), 1u);
        setUnit(kUnitInterface, {{QStringLiteral("ActiveState"), QStringLiteral("active")}});
        QVERIFY(!lumra::StopExportService("KASSAN", kService));
        QCOMPARE(lumra::QueryServiceState("KASSAN", kService), 4u);
    }

    void aStartOfARunningUnitIsRefusedWithoutAsking() {
        addUnit(QStringLiteral("active"));
        QVERIFY(!lumra::StartExportService("KASSAN", kService));
        QVERIFY(!log().contains(QStringLiteral("StartUnit")));
    }

    void aStopOfAStoppedUnitReportsStopped() {
        addUnit(QStringLiteral("inactive"));
        const auto manager = services->openManager("", platform::kManagerConnect);
        const auto service = services->openService(
            manager, kService, platform::kServiceStop | platform::kServiceQueryStatus);
        const auto reply = services->controlService(service, platform::kServiceControlStop);
        QVERIFY(!reply.accepted);
        QCOMPARE(reply.status, (platform::ServiceStatus{1, 0, 0}));
        services->closeHandle(service);
        services->closeHandle(manager);
        QVERIFY(!log().contains(QStringLiteral("StopUnit")));
    }

    void aBusWithoutSystemdOpensNothing() {
        bus->stopMocks();
        QCOMPARE(services->openManager("", platform::kManagerConnect), platform::kNoServiceHandle);
        platform::SystemdServiceManager nowhere("unix:path=" + folder->file("no-bus"));
        QCOMPARE(nowhere.openManager("", platform::kManagerConnect), platform::kNoServiceHandle);
    }

    void theWindowShowsStartsAndStopsTheUnit() {
        addUnit(QStringLiteral("inactive"));
        mockManager(QStringLiteral("SetMockJobs"),
                    {kUnit, 300u, QStringLiteral("active"), QStringLiteral("inactive")});
        openWindow();
        QCOMPARE(shownServiceItem(), 0);
        click("BitBtn1");
        QCOMPARE(shownServiceItem(), 3);
        click("btnStopService");
        QCOMPARE(shownServiceItem(), 0);
        click("btnStopService");
        QCOMPARE(shownServiceItem(), 0);
        QVERIFY(twins->boxes.shown().empty());
    }

    void theWindowShowsTheFailuresOfARefusingManager() {
        addUnit(QStringLiteral("active"));
        mockManager(QStringLiteral("SetMockRefusal"),
                    {QStringLiteral("org.freedesktop.DBus.Error.AccessDenied")});
        openWindow();
        click("btnStopService");
        click("BitBtn1");
        QCOMPARE(
            twins->boxes.shownTexts(),
            (std::vector<std::string>{"An error occurred while trying to stop the service!",
                                      "An error occurred while trying to start the service!"}));
        QCOMPARE(shownServiceItem(), 3);
    }

    void theWindowWithoutTheUnitSelectsNothing() {
        openWindow();
        click("BitBtn1");
        click("btnStopService");
        QCOMPARE(twins->boxes.shownTexts(),
                 (std::vector<std::string>{"An error occurred while trying to start the service!",
                                           "An error occurred while trying to stop the service!"}));
        QCOMPARE(shownServiceItem(), -1);
    }
};

QTEST_MAIN(SystemdServiceManagerTest)
#include "systemd_service_manager_test.moc"
