#include "platform/linux/dbus_window_messages.h"
#include "platform/registered_messages.h"
#include "tests/support/private_session_bus.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/dialogs/message_routines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

namespace {

const QString kProgressName = QStringLiteral("org.vemlo.TProgressFormQ7");
const QString kInterface = QStringLiteral("org.vemlo.WindowMessages");

} // namespace

// The progress application is a mock on a bus of the test's own; its calls land in a log file.
class DBusWindowMessagesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::PrivateSessionBus> bus;
    std::unique_ptr<testing_support::TempFolder> folder;
    std::unique_ptr<platform::DBusWindowMessages> messages;
    std::unique_ptr<testing_support::ToolkitTwins> twins;

    QString logFile() const { return QString::fromStdString(folder->file("progress.log")); }

    // The SendMessage calls the mock has logged, each as "message wParam lParam".
    QStringList loggedCalls() const {
        QStringList calls;
        const auto log =
            QString::fromStdString(testing_support::ReadFileBytes(folder->file("progress.log")));
        for (const auto& line : log.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const auto at = line.indexOf(QStringLiteral(" SendMessage "));
            if (at >= 0) {
                calls << line.mid(at + 13).trimmed();
            }
        }
        return calls;
    }

    void startProgressApp(const QString& body) {
        QVERIFY(bus->startMock(kProgressName, kInterface, logFile()));
        QVERIFY(bus->addMockMethod(kProgressName, kInterface, QStringLiteral("SendMessage"),
                                   QStringLiteral("utx"), QStringLiteral("x"), body));
    }

private Q_SLOTS:
    void initTestCase() {
        bus = std::make_unique<testing_support::PrivateSessionBus>();
        QVERIFY2(bus->isRunning(), "dbus-daemon did not start");
    }

    void init() {
        folder = std::make_unique<testing_support::TempFolder>();
        messages = std::make_unique<platform::DBusWindowMessages>(bus->address().toStdString());
        twins = std::make_unique<testing_support::ToolkitTwins>();
        auto wiring = twins->wiring();
        wiring.windowMessages = messages.get();
        twins->wire(wiring);
        vemlo::RegisterVemloMessages();
    }

    void cleanup() {
        bus->stopMocks();
        vemlo::ReleaseVemloMessages();
        twins.reset();
        messages.reset();
        folder.reset();
    }

    void cleanupTestCase() { bus.reset(); }

    void theProgressApplicationIsToldBeforeTheBoxShows() {
        startProgressApp(QStringLiteral("ret = 0"));
        QStringList seenWhenShown;
        twins->boxes.onShow([&](const platform::BoxRequest&) { seenWhenShown = loggedCalls(); });
        vemlo::ShowInfoMessage("Klart");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        const auto expected = QStringLiteral("%1 %2 0")
                                  .arg(platform::RegisteredMessageId("VL_INACTIVATE_PROGRESSAPP"))
                                  .arg(QCoreApplication::applicationPid());
        QCOMPARE(seenWhenShown, QStringList{expected});
        vemlo::AskYesNo("Igen?");
        QCOMPARE(loggedCalls().size(), 2);
    }

    void theOwnerOfTheNameIsTheWindowFound() {
        startProgressApp(QStringLiteral("ret = 0"));
        const auto window = messages->findWindow("TProgressFormQ7");
        QVERIFY(window.starts_with(":"));
        QVERIFY(messages->findWindow("TOtherForm").empty());
    }

    void withoutAProgressApplicationNothingIsSent() {
        QVERIFY(messages->findWindow("TProgressFormQ7").empty());
        vemlo::ShowDatabaseError("Fel");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
    }

    void aProgressApplicationThatHangsHoldsTheBoxUpOnlyForTheBound() {
        startProgressApp(QStringLiteral("__import__('time').sleep(30)\nret = 0"));
        QElapsedTimer timer;
        timer.start();
        vemlo::ShowInfoMessage("Klart");
        const auto elapsed = timer.elapsed();
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY2(elapsed >= 1500 && elapsed < 5000, qPrintable(QString::number(elapsed)));
    }

    void aProgressApplicationThatFailsIsIgnored() {
        startProgressApp(QStringLiteral("raise Exception('broken')"));
        vemlo::ShowInfoMessage("Klart");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
    }

    void withoutAnyBusBoxesStillShow() {
        platform::DBusWindowMessages nowhere("unix:path=/nonexistent/vemlo-test-bus");
        auto wiring = twins->wiring();
        wiring.windowMessages = &nowhere;
        const testing_support::WiredToolkit wired(wiring);
        QElapsedTimer timer;
        timer.start();
        vemlo::ShowInfoMessage("Klart");
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QVERIFY(nowhere.findWindow("TProgressFormQ7").empty());
        QCOMPARE(nowhere.sendMessage(":1.1", 1, 2, 3), std::int64_t{0});
    }
};

QTEST_GUILESS_MAIN(DBusWindowMessagesTest)

#include "dbus_window_messages_test.moc"
