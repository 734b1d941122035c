#pragma once

#include "platform/power_notifications.h"

#include <memory>
#include <string>

namespace platform {

// The login manager's PrepareForSleep(bool) signal on the system bus: true gives code 4, false
// code 7. While the program runs it holds a "delay" sleep inhibitor, released once the suspend
// handler has returned (so the connections are closed before the computer sleeps) and taken again
// at resume. Without a system bus or a login manager nothing happens and nothing is reported.
class LogindPowerNotifications final : public PowerNotifications {
public:
    // An empty address means the system bus.
    explicit LogindPowerNotifications(std::string busAddress = {});
    ~LogindPowerNotifications() override;
    LogindPowerNotifications(const LogindPowerNotifications&) = delete;
    LogindPowerNotifications& operator=(const LogindPowerNotifications&) = delete;

    void subscribe(Handler handler) override;
    bool holdsInhibitor() const;

private:
    class Listener;
    std::unique_ptr<Listener> listener_;
};

} // namespace platform
