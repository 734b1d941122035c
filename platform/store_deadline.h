#pragma once

#include <chrono>
#include <functional>

namespace platform {

// How long one action may wait for the store's locks and run its statements, in all: a toolkit
// primitive, one command of vemlo-reg, one user action in the window.
inline constexpr std::chrono::milliseconds kStoreBudget{5000};

using DeadlineClock = std::chrono::steady_clock;

// The scopes below nest on each thread; the innermost one rules.
class DeadlineScope {
public:
    DeadlineScope(const DeadlineScope&) = delete;
    DeadlineScope& operator=(const DeadlineScope&) = delete;

protected:
    DeadlineScope(bool budget, std::chrono::milliseconds allowed);
    ~DeadlineScope();

private:
    friend class StoreDeadline;
    DeadlineClock::duration left() const;
    DeadlineClock::time_point deadline() const;

    bool budget_;
    DeadlineScope* parent_;
    DeadlineClock::time_point start_;
    DeadlineClock::duration granted_{};
    // A budget: the time still to spend. A deadline: the point in time.
    DeadlineClock::duration budgetLeft_{};
    DeadlineClock::time_point deadline_{};
};

// A deadline for the store calls made while it lives on this thread: at most the budget from
// now, and inside another scope at most what is left of that one. Whatever waits or runs in the
// store gives up when the innermost deadline has passed.
class StoreDeadline : private DeadlineScope {
public:
    explicit StoreDeadline(std::chrono::milliseconds budget = kStoreBudget)
        : DeadlineScope(false, budget) {}

    // The innermost deadline on this thread; the budget from now when none is open.
    static DeadlineClock::time_point Current();
    static bool Passed() { return DeadlineClock::now() >= Current(); }

    // Told (true) once when the store starts to wait for a lock within the outermost scope, and
    // (false) when that scope ends: the window shows the hourglass meanwhile.
    static void OnWaiting(std::function<void(bool waiting)> handler);
    static void NoteWaiting();
};

// One user action's budget: only the time spent inside the store deadlines opened within it
// counts, not the time the user spends in a box or a dialog that the action shows.
class ActionBudget : private DeadlineScope {
public:
    explicit ActionBudget(std::chrono::milliseconds budget = kStoreBudget)
        : DeadlineScope(true, budget) {}
};

} // namespace platform
