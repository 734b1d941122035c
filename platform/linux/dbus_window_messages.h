#pragma once

#include "platform/window_messages.h"

#include <chrono>
#include <memory>
#include <string>

namespace platform {

// Window messages over the session bus; see window_messages.h for the mapping. Without a
// session bus nothing is found and nothing is sent.
class DBusWindowMessages final : public WindowMessages {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{2000};

    // An empty address means the user's session bus.
    explicit DBusWindowMessages(std::string busAddress = {},
                                std::chrono::milliseconds timeout = kDefaultTimeout);
    ~DBusWindowMessages() override;

    DBusWindowMessages(const DBusWindowMessages&) = delete;
    DBusWindowMessages& operator=(const DBusWindowMessages&) = delete;

    std::uint16_t registerWindowMessage(const std::string& name) override;
    WindowRef findWindow(const std::string& windowClass) override;
    std::int64_t sendMessage(const WindowRef& window, std::uint32_t message, std::uint64_t wParam,
                             std::int64_t lParam) override;
    std::uint64_t applicationWindow() override;

private:
    class Bus;
    std::unique_ptr<Bus> bus_;
    std::chrono::milliseconds timeout_;
};

} // namespace platform
