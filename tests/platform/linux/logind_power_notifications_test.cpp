#include "platform/linux/logind_power_notifications.h"
#include "platform/memory/scripted_connection.h"
#include "tests/support/private_session_bus.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/TfrmVemloTools.h"
#include "toolkit/desktop/toolkit_lifetime.h"

#include <QDBusArgument>
#include <QTest>
#include <chrono>

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

struct Inhibitor {
    QString what;
    QString mode;
};

} // namespace

// The login manager is python3-dbusmock's logind template on a system bus of the test's own.
class LogindPowerNotificationsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::PrivateSessionBus> bus;
    std::unique_ptr<testing_support::TempFolder> folder;

    std::vector<Inhibitor> inhibitors() {
        std::vector<Inhibitor> found;
        const auto reply = bus->call(kLogin, kPath, kManager, QStringLiteral("ListInhibitors"));
        if (reply.isEmpty()) {
            return found;
        }
        const auto argument = reply.constFirst().value<QDBusArgument>();
        argument.beginArray();
        while (!argument.atEnd()) {
            QString what, who, why, mode;
            uint uid = 0, pid = 0;
            argument.beginStructure();
            argument >> what >> who >> why >> mode >> uid >> pid;
            argument.endStructure();
            found.push_back({what, mode});
        }
        argument.endArray();
        return found;
    }

    bool prepareForSleep(bool start) {
        return bus->emitMockSignal(kLogin, kPath, kManager, QStringLiteral("PrepareForSleep"),
                                   QStringLiteral("b"), {start});
    }

private Q_SLOTS:
    void initTestCase() {
        folder = std::make_unique<testing_support::TempFolder>();
        bus =
            std::make_unique<testing_support::PrivateSessionBus>(testing_support::BusRole::System);
        QVERIFY2(bus->isRunning(), "dbus-daemon did not start");
        QVERIFY(bus->startTemplate(QStringLiteral("logind"), kLogin,
                                   QString::fromStdString(folder->file("logind.log"))));
    }

    void cleanupTestCase() {
        bus.reset();
        folder.reset();
    }

    void suspendAndResumeReachTheToolsWindowWithTheInhibitorHeldAroundThem() {
        testing_support::ToolkitTwins twins;
        vemlo::InitializeToolkit();
        auto& form = twins.application.add("frmOrders", vemlo::ContainerKind::Form);
        form.Connections.push_back(std::make_unique<platform::ScriptedConnection>(
            "conMain", "Provider=SQLite;Data Source=/data/lumra.db", true));
        auto& connection = *form.Connections.front();

        platform::LogindPowerNotifications power(bus->address().toStdString());
        std::vector<std::uint64_t> delivered;
        bool heldDuringSuspend = false;
        power.subscribe([&](std::uint64_t code) {
            delivered.push_back(code);
            heldDuringSuspend = heldDuringSuspend || (code == 4 && power.holdsInhibitor());
            vemlo::frmVemloTools->WMPowerBroadcast(code);
        });
        QVERIFY(power.holdsInhibitor());
        QCOMPARE(inhibitors().size(), std::size_t(1));
        QCOMPARE(inhibitors()[0].what, QStringLiteral("sleep"));
        QCOMPARE(inhibitors()[0].mode, QStringLiteral("delay"));

        QVERIFY(prepareForSleep(true));
        QTRY_COMPARE(delivered.size(), std::size_t(1));
        QCOMPARE(delivered[0], std::uint64_t(4));
        QVERIFY(heldDuringSuspend);
        QVERIFY(!connection.Connected());
        QCOMPARE(connection.Tag(), 666);
        QVERIFY(!power.holdsInhibitor());
        QTRY_VERIFY(inhibitors().empty());

        QVERIFY(prepareForSleep(false));
        QTRY_COMPARE(delivered.size(), std::size_t(2));
        QCOMPARE(delivered[1], std::uint64_t(7));
        QVERIFY(connection.Connected());
        QCOMPARE(twins.clock.sleeps(), std::vector{std::chrono::milliseconds(10000)});
        QCOMPARE(twins.boxes.shown().size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(twins.boxes.shown()[0].text),
                 QStringLiteral("Programmet har återanslutit 1 anslutningar till databasen. "
                                "Kontrollera att ingen data förlorats."));
        QVERIFY(power.holdsInhibitor());
        QCOMPARE(inhibitors().size(), std::size_t(1));
        vemlo::FinalizeToolkit();
    }

    void withoutALoginManagerNothingArrives_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("no system bus") << QString();
        QTest::newRow("unreachable bus") << QStringLiteral("unix:path=/nonexistent/bus");
    }

    void withoutALoginManagerNothingArrives() {
        QFETCH(QString, address);
        platform::LogindPowerNotifications power(address.toStdString());
        int delivered = 0;
        power.subscribe([&](std::uint64_t) { ++delivered; });
        QVERIFY(!power.holdsInhibitor());
        QCoreApplication::processEvents();
        QCOMPARE(delivered, 0);
    }
};

QTEST_MAIN(LogindPowerNotificationsTest)
#include "logind_power_notifications_test.moc"
