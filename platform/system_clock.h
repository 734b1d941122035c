#pragma once

#include "platform/clock.h"

namespace platform {

// The machine's clock in the user's time zone.
class SystemClock : public Clock {
public:
    LocalDateTime now() override;
    void sleep(std::chrono::milliseconds duration) override;
};

} // namespace platform
