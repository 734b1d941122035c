#pragma once

#include "platform/window_messages.h"

namespace platform {

// A command line has no progress window to get out of the way.
class NoWindowMessages final : public WindowMessages {
public:
    std::uint16_t registerWindowMessage(const std::string&) override { return 0; }
    WindowRef findWindow(const std::string&) override { return {}; }
    std::int64_t sendMessage(const WindowRef&, std::uint32_t, std::uint64_t,
                             std::int64_t) override {
        return 0;
    }
    std::uint64_t applicationWindow() override { return 0; }
};

} // namespace platform
