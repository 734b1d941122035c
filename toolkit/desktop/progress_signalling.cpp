#include "toolkit/desktop/progress_signalling.h"

#include "platform/window_messages.h"
#include "toolkit/toolkit_platform.h"

#include <string>

namespace vemlo {

namespace {

std::array<std::uint16_t, kVemloMessageNames.size()> g_MessageIds{};

} // namespace

void RegisterVemloMessages() {
    for (std::size_t i = 0; i < kVemloMessageNames.size(); ++i) {
        g_MessageIds[i] =
            WindowMessages().registerWindowMessage(std::string(kVemloMessageNames[i]));
    }
}

void ReleaseVemloMessages() {
    g_MessageIds.fill(0);
}

std::uint16_t VemloMessageId(VemloMessage message) {
    return g_MessageIds[static_cast<std::size_t>(message)];
}

void DeactivateProgressApp() {
    auto& messages = WindowMessages();
    const auto window = messages.findWindow(std::string(kProgressWindowClass));
    if (!window.empty()) {
        messages.sendMessage(window, VemloMessageId(VemloMessage::InactivateProgressApp),
                             messages.applicationWindow(), 0);
    }
}

} // namespace vemlo
