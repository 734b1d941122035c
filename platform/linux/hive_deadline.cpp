#include "platform/linux/hive_deadline.h"

#include "platform/store_deadline.h"

#include <algorithm>
#include <array>
#include <sqlite3.h>
#include <thread>

namespace platform {

namespace {

// Short sleeps first, as SQLite's own busy timeout does: most locks are held for milliseconds.
constexpr std::array<int, 8> kSleepsMs = {1, 2, 5, 10, 15, 20, 25, 50};
// Virtual machine steps between looks at the clock: microseconds of work.
constexpr int kStepsBetweenLooks = 1000;

int WaitForLock(void*, int count) {
    const auto left = StoreDeadline::Current() - DeadlineClock::now();
    if (left <= DeadlineClock::duration::zero()) {
        return 0;
    }
    StoreDeadline::NoteWaiting();
    const auto sleep = std::chrono::milliseconds(
        kSleepsMs[std::min<std::size_t>(static_cast<std::size_t>(count), kSleepsMs.size() - 1)]);
    std::this_thread::sleep_for(std::min<DeadlineClock::duration>(sleep, left));
    return 1;
}

int StopPastDeadline(void*) {
    return StoreDeadline::Passed() ? 1 : 0;
}

} // namespace

void BoundByDeadline(sqlite3* db) {
    sqlite3_busy_handler(db, WaitForLock, nullptr);
    sqlite3_progress_handler(db, kStepsBetweenLooks, StopPastDeadline, nullptr);
}

} // namespace platform
