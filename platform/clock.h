#pragma once

#include <chrono>

namespace platform {

// A calendar date and time of day on the user's local clock.
struct LocalDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The local clock and the blocking wait of the user-interface thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() = 0;
    // Blocks the calling thread; nothing is redrawn and no input is taken meanwhile.
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

} // namespace platform
