#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The platform's power notification, as event codes on the user-interface thread: 4 when the
// computer is about to suspend, 7 when it has resumed from a suspend. Nothing else is delivered.
// The suspend is held back until the handler has returned, where the platform allows it.
class PowerNotifications {
public:
    using Handler = std::function<void(std::uint64_t code)>;

    virtual ~PowerNotifications() = default;
    // From now on the events go to the handler. Without a power service nothing ever arrives.
    virtual void subscribe(Handler handler) = 0;
};

} // namespace platform
