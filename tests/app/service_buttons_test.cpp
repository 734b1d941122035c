#include "app/TRadioGroup.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_driver.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

namespace {

using platform::ControlReply;
using platform::ServiceStatus;

const ServiceStatus kStopped{1, 0, 0};
const ServiceStatus kRunning{4, 0, 0};
const char* const kStartFailed = "An error occurred while trying to start the service!";
const char* const kStopFailed = "An error occurred while trying to stop the service!";

// A press of one service button against a scripted manager; the first report is what the
// window's first show reads.
struct Press {
    const char* name;
    const char* button;
    std::vector<std::optional<ServiceStatus>> reports;
    bool installed = true;
    bool startAccepted = true;
    ControlReply stopReply{true, std::nullopt};
    const char* message = nullptr;
    int item = -1;
};

const Press kPresses[] = {
    {"start of a stopped service that comes up",
     "BitBtn1",
     {kStopped, ServiceStatus{2, 1, 100}, ServiceStatus{2, 2, 100}, kRunning},
     true,
     true,
     {},
     nullptr,
     3},
    {"start of a running service", "BitBtn1", {kRunning}, true, false, {}, kStartFailed, 3},
    {"start of a service that stops again",
     "BitBtn1",
     {kStopped, ServiceStatus{2, 1, 100}, kStopped},
     true,
     true,
     {},
     kStartFailed,
     0},
    {"start of a service not installed", "BitBtn1", {kRunning}, false, true, {}, kStartFailed, -1},
    {"stop of a running service",
     "btnStopService",
     {kRunning, ServiceStatus{3, 1, 100}, kStopped},
     true,
     true,
     {true, std::nullopt},
     nullptr,
     0},
    {"stop of a stopped service",
     "btnStopService",
     {kStopped},
     true,
     true,
     {false, kStopped},
     nullptr,
     0},
    {"stop refused",
     "btnStopService",
     {kRunning},
     true,
     true,
     {false, std::nullopt},
     kStopFailed,
     3},
    {"stop of a service not installed",
     "btnStopService",
     {kRunning},
     false,
     true,
     {},
     kStopFailed,
     -1},
};

} // namespace

// The two service buttons and the status group, against the simulated manager.
class ServiceButtonsTest : public QObject, public testing_support::WindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::ToolkitTwins> twins;

private Q_SLOTS:
    void init() { twins = std::make_unique<testing_support::ToolkitTwins>(); }

    void cleanup() {
        window.reset();
        twins.reset();
    }

    void theStatusShowsTheStateAtFirstShow_data() {
        QTest::addColumn<uint>("state");
        QTest::addColumn<QString>("item");
        const char* items[] = {"",
                               "SERVICE_STOPPED",
                               "SERVICE_START_PENDING",
                               "SERVICE_STOP_PENDING",
                               "SERVICE_RUNNING",
                               "SERVICE_CONTINUE_PENDING",
                               "SERVICE_PAUSE_PENDING",
                               "SERVICE_PAUSED"};
        for (uint state = 0; state < 8; ++state) {
            QTest::addRow("state %u", state) << state << QString::fromUtf8(items[state]);
        }
    }

    void theStatusShowsTheStateAtFirstShow() {
        QFETCH(uint, state);
        QFETCH(QString, item);
        twins->services.reportNext(ServiceStatus{state, 0, 0});
        openWindow();
        auto* group = control<TRadioGroup>("rgStatus");
        QVERIFY(!group->isEnabled());
        QCOMPARE(group->itemIndex(), static_cast<int>(state) - 1);
        for (int i = 0; i < group->count(); ++i) {
            QCOMPARE(group->item(i)->isChecked(), group->item(i)->text() == item);
        }
    }

    void f5ReadsTheStateAgain() {
        twins->services.reportNext(kStopped);
        twins->services.reportNext(kRunning);
        openWindow();
        QCOMPARE(shownServiceItem(), 0);
        QTest::keyClick(window.get(), Qt::Key_F5);
        QCOMPARE(shownServiceItem(), 3);
    }

    void aPressShowsTheOutcome_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < static_cast<int>(std::size(kPresses)); ++row) {
            QTest::addRow("%s", kPresses[row].name) << row;
        }
    }

    void aPressShowsTheOutcome() {
        QFETCH(int, row);
        const auto& c = kPresses[row];
        auto& services = twins->services;
        for (const auto& report : c.reports) {
            services.reportNext(report);
        }
        services.startAccepted = c.startAccepted;
        services.stopReply = c.stopReply;
        openWindow();
        services.serviceInstalled = c.installed;
        click(c.button);
        const auto& shown = twins->boxes.shown();
        if (c.message) {
            QCOMPARE(shown.size(), std::size_t{1});
            QCOMPARE(shown[0].kind, platform::BoxKind::Information);
            QCOMPARE(QString::fromStdString(shown[0].text), QString::fromUtf8(c.message));
        } else {
            QVERIFY(shown.empty());
        }
        QCOMPARE(shownServiceItem(), c.item);
        QCOMPARE(services.openHandles(), std::size_t{0});
    }

    void theHourglassShowsUntilTheRequestAndItsBoxAreOver() {
        twins->services.reportNext(kRunning);
        twins->services.startAccepted = false;
        openWindow();
        std::optional<Qt::CursorShape> duringBox;
        twins->boxes.onShow([&](const platform::BoxRequest&) {
            if (const QCursor* cursor = QApplication::overrideCursor()) {
                duringBox = cursor->shape();
            }
        });
        click("BitBtn1");
        QCOMPARE(duringBox, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(ServiceButtonsTest)
#include "service_buttons_test.moc"
