#include "platform/windows/windows_window_messages.h"

#include "platform/windows/wide_text.h"

#include <charconv>
#include <windows.h>

namespace platform {

WindowsWindowMessages::WindowsWindowMessages(std::uint64_t applicationWindow,
                                             std::chrono::milliseconds timeout)
    : applicationWindow_(applicationWindow)
    , timeout_(timeout) {}

std::uint16_t WindowsWindowMessages::registerWindowMessage(const std::string& name) {
    const auto wide = Widen(name);
    return wide ? static_cast<std::uint16_t>(RegisterWindowMessageW(wide->c_str())) : 0;
}

WindowRef WindowsWindowMessages::findWindow(const std::string& windowClass) {
    const auto wide = Widen(windowClass);
    const HWND window = wide ? FindWindowW(wide->c_str(), nullptr) : nullptr;
    return window ? std::to_string(reinterpret_cast<std::uintptr_t>(window)) : WindowRef();
}

std::int64_t WindowsWindowMessages::sendMessage(const WindowRef& window, std::uint32_t message,
                                                std::uint64_t wParam, std::int64_t lParam) {
    std::uintptr_t handle = 0;
    const auto* end = window.data() + window.size();
    if (window.empty() || std::from_chars(window.data(), end, handle).ptr != end) {
        return 0;
    }
    DWORD_PTR result = 0;
    const LRESULT delivered =
        SendMessageTimeoutW(reinterpret_cast<HWND>(handle), message, static_cast<WPARAM>(wParam),
                            static_cast<LPARAM>(lParam), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                            static_cast<UINT>(timeout_.count()), &result);
    return delivered ? static_cast<std::int64_t>(result) : 0;
}

std::uint64_t WindowsWindowMessages::applicationWindow() {
    return applicationWindow_;
}

} // namespace platform
