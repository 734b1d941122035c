#pragma once

#include "platform/clock.h"

#include <vector>

namespace platform {

// A clock that shows what the test set and only records the waits asked of it.
class SetClock : public Clock {
public:
    LocalDateTime now() override { return now_; }
    void sleep(std::chrono::milliseconds duration) override { sleeps_.push_back(duration); }

    void set(const LocalDateTime& now) { now_ = now; }
    const std::vector<std::chrono::milliseconds>& sleeps() const { return sleeps_; }

private:
    LocalDateTime now_{2014, 10, 29, 12, 0, 0, 0};
    std::vector<std::chrono::milliseconds> sleeps_;
};

} // namespace platform
