#pragma once

#include "platform/window_messages.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform {

// Window messages between simulated windows: tests open and close windows of a class and read
// the messages that were sent.
class RecordingWindowMessages final : public WindowMessages {
public:
    struct Sent {
        WindowRef window;
        std::uint32_t message;
        std::uint64_t wParam;
        std::int64_t lParam;
    };

    std::uint16_t registerWindowMessage(const std::string& name) override;
    WindowRef findWindow(const std::string& windowClass) override;
    std::int64_t sendMessage(const WindowRef& window, std::uint32_t message, std::uint64_t wParam,
                             std::int64_t lParam) override;
    std::uint64_t applicationWindow() override { return kApplicationWindow; }

    static constexpr std::uint64_t kApplicationWindow = 0x1234;

    // Windows of a class are found in the order they were opened.
    void openWindow(const std::string& windowClass, const WindowRef& window);
    void closeWindow(const WindowRef& window);
    // Registration of this name fails (yields 0).
    void failRegistration(const std::string& name) { failing_.push_back(name); }
    void onSend(std::function<void(const Sent&)> hook) { onSend_ = std::move(hook); }

    const std::vector<Sent>& sent() const { return sent_; }
    const std::vector<std::string>& registered() const { return registered_; }

private:
    std::multimap<std::string, WindowRef> windows_;
    std::vector<std::string> failing_;
    std::vector<std::string> registered_;
    std::vector<Sent> sent_;
    std::function<void(const Sent&)> onSend_;
};

} // namespace platform
