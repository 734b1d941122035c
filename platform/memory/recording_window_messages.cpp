#include "platform/memory/recording_window_messages.h"

#include "platform/registered_messages.h"

#include <algorithm>

namespace platform {

std::uint16_t RecordingWindowMessages::registerWindowMessage(const std::string& name) {
    registered_.push_back(name);
    if (std::find(failing_.begin(), failing_.end(), name) != failing_.end()) {
        return 0;
    }
    return RegisteredMessageId(name);
}

WindowRef RecordingWindowMessages::findWindow(const std::string& windowClass) {
    const auto it = windows_.find(windowClass);
    return it == windows_.end() ? WindowRef() : it->second;
}

std::int64_t RecordingWindowMessages::sendMessage(const WindowRef& window, std::uint32_t message,
                                                  std::uint64_t wParam, std::int64_t lParam) {
    sent_.push_back({window, message, wParam, lParam});
    if (onSend_) {
        onSend_(sent_.back());
    }
    return 0;
}

void RecordingWindowMessages::openWindow(const std::string& windowClass, const WindowRef& window) {
    windows_.emplace(windowClass, window);
}

void RecordingWindowMessages::closeWindow(const WindowRef& window) {
    std::erase_if(windows_, [&](const auto& entry) { return entry.second == window; });
}

} // namespace platform
