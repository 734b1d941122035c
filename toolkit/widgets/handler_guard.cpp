#include "toolkit/widgets/handler_guard.h"

#include "platform/store_deadline.h"
#include "toolkit/widgets/application_error.h"

#include <QCursor>
#include <QGuiApplication>
#include <exception>

namespace vemlo {

namespace {

// The hourglass shows while the store waits for a lock.
void ShowWaitsWithTheHourglass() {
    static const bool installed = [] {
        platform::StoreDeadline::OnWaiting([](bool waiting) {
            if (waiting) {
                QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            } else {
                QGuiApplication::restoreOverrideCursor();
            }
        });
        return true;
    }();
    (void)installed;
}

} // namespace

void RunGuarded(const std::function<void()>& handler) {
    ShowWaitsWithTheHourglass();
    // One user action waits for the store at most one budget in all.
    const platform::ActionBudget budget;
    try {
        handler();
    } catch (const std::exception& error) {
        ShowApplicationError(DefaultHandlerText(error.what()));
    }
}

} // namespace vemlo
