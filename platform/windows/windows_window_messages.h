#pragma once

#include "platform/window_messages.h"

#include <chrono>

namespace platform {

// Registered window messages between the windows of the user's desktop. A window reference is
// the window handle as decimal text. Sending waits at most the timeout and gives up at once on a
// receiver that the system sees as hung, so a progress application that stopped answering cannot
// hold the tool for ever.
class WindowsWindowMessages final : public WindowMessages {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{2000};

    // applicationWindow: the handle of the program's own top-level window, 0 when it has none.
    explicit WindowsWindowMessages(std::uint64_t applicationWindow = 0,
                                   std::chrono::milliseconds timeout = kDefaultTimeout);

    std::uint16_t registerWindowMessage(const std::string& name) override;
    WindowRef findWindow(const std::string& windowClass) override;
    std::int64_t sendMessage(const WindowRef& window, std::uint32_t message, std::uint64_t wParam,
                             std::int64_t lParam) override;
    std::uint64_t applicationWindow() override;

private:
    std::uint64_t applicationWindow_;
    std::chrono::milliseconds timeout_;
};

} // namespace platform
