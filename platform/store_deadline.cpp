#include "platform/store_deadline.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

thread_local DeadlineScope* g_Innermost = nullptr;
thread_local bool g_Waiting = false;
std::function<void(bool)> g_OnWaiting;

} // namespace

DeadlineScope::DeadlineScope(bool budget, std::chrono::milliseconds allowed)
    : budget_(budget)
    , parent_(g_Innermost)
    , start_(DeadlineClock::now()) {
    DeadlineClock::duration granted = allowed;
    if (parent_) {
        granted = std::max(DeadlineClock::duration::zero(), std::min(granted, parent_->left()));
    }
    granted_ = granted;
    if (budget_) {
        budgetLeft_ = granted;
    } else {
        deadline_ = start_ + granted;
    }
    g_Innermost = this;
}

DeadlineScope::~DeadlineScope() {
    g_Innermost = parent_;
    // Only the time spent in the store counts against an action's budget.
    if (parent_ && parent_->budget_) {
        parent_->budgetLeft_ -= budget_ ? granted_ - budgetLeft_ : DeadlineClock::now() - start_;
    }
    if (!parent_ && std::exchange(g_Waiting, false) && g_OnWaiting) {
        g_OnWaiting(false);
    }
}

DeadlineClock::duration DeadlineScope::left() const {
    return budget_ ? budgetLeft_ : deadline_ - DeadlineClock::now();
}

DeadlineClock::time_point DeadlineScope::deadline() const {
    return budget_ ? DeadlineClock::now() + budgetLeft_ : deadline_;
}

DeadlineClock::time_point StoreDeadline::Current() {
    return g_Innermost ? g_Innermost->deadline() : DeadlineClock::now() + kStoreBudget;
}

void StoreDeadline::OnWaiting(std::function<void(bool)> handler) {
    g_OnWaiting = std::move(handler);
}

void StoreDeadline::NoteWaiting() {
    if (g_Innermost && !std::exchange(g_Waiting, true) && g_OnWaiting) {
        g_OnWaiting(true);
    }
}

} // namespace platform
