#include "platform/windows/windows_network_names.h"

#include "platform/windows/wide_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>
#include <windows.h>
// Needs windows.h first.
#include <winnetwk.h>

namespace platform {

std::optional<std::string> WindowsNetworkNames::universalName(const std::string& path) {
    const auto wide = Widen(path);
    if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) {
        return std::nullopt;
    }
    // The answer is a structure followed by the text it points to. Room for a name of MAX_PATH
    // first; for a longer one, the size the network tells, or twice the room where it tells none,
    // up to the longest path there is.
    constexpr DWORD largest = sizeof(UNIVERSAL_NAME_INFOW) + 32768 * sizeof(wchar_t);
    DWORD bytes = sizeof(UNIVERSAL_NAME_INFOW) + MAX_PATH * sizeof(wchar_t);
    while (true) {
        // Words, so that the structure's pointer is aligned.
        std::vector<std::uintptr_t> buffer((bytes + sizeof(std::uintptr_t) - 1) /
                                           sizeof(std::uintptr_t));
        const DWORD room = static_cast<DWORD>(buffer.size() * sizeof(std::uintptr_t));
        bytes = room;
        const DWORD result =
            WNetGetUniversalNameW(wide->c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &bytes);
        if (result == NO_ERROR) {
            const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.data());
            if (!info->lpUniversalName || !*info->lpUniversalName) {
                return std::nullopt;
            }
            return Narrow(info->lpUniversalName);
        }
        if (result != ERROR_MORE_DATA || room >= largest) {
            return std::nullopt;
        }
        bytes = std::min(std::max(bytes, 2 * room), largest);
    }
}

} // namespace platform
