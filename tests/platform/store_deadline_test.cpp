#include "platform/store_deadline.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using platform::ActionBudget;
using platform::DeadlineClock;
using platform::StoreDeadline;

namespace {

DeadlineClock::duration Left() {
    return StoreDeadline::Current() - DeadlineClock::now();
}

TEST(StoreDeadline, AnInnerDeadlineGetsAtMostWhatIsLeftOfTheOuterOne) {
    const StoreDeadline outer(200ms);
    std::this_thread::sleep_for(50ms);
    {
        const StoreDeadline inner(5s);
        EXPECT_LE(Left(), 150ms);
        EXPECT_GT(Left(), 0ms);
    }
    std::this_thread::sleep_for(200ms);
    const StoreDeadline late(5s);
    EXPECT_TRUE(StoreDeadline::Passed());
}

// A box or dialog that an action shows between its store calls does not use up its budget; the
// store calls themselves do, one after the other.
TEST(StoreDeadline, AnActionsBudgetCountsOnlyTheTimeSpentInTheStore) {
    const ActionBudget action(300ms);
    std::this_thread::sleep_for(400ms);
    {
        const StoreDeadline call;
        EXPECT_FALSE(StoreDeadline::Passed());
        EXPECT_LE(Left(), 300ms);
        std::this_thread::sleep_for(200ms);
    }
    {
        const StoreDeadline call;
        EXPECT_LE(Left(), 100ms);
        std::this_thread::sleep_for(150ms);
    }
    const StoreDeadline spent;
    EXPECT_TRUE(StoreDeadline::Passed());
}

TEST(StoreDeadline, WaitingIsToldOnceAndItsEndWhenTheOutermostScopeEnds) {
    std::vector<bool> told;
    StoreDeadline::OnWaiting([&](bool waiting) { told.push_back(waiting); });
    {
        const ActionBudget action;
        {
            const StoreDeadline call;
            StoreDeadline::NoteWaiting();
            StoreDeadline::NoteWaiting();
        }
        EXPECT_EQ(told, std::vector<bool>{true});
        const StoreDeadline call;
        StoreDeadline::NoteWaiting();
    }
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    StoreDeadline::OnWaiting({});
}

} // namespace
