#include "platform/windows/windows_network_names.h"

#include "platform/windows/wide_text.h"

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
    // first; a longer one is asked for again with the size the network tells.
    DWORD bytes = sizeof(UNIVERSAL_NAME_INFOW) + MAX_PATH * sizeof(wchar_t);
    for (int attempt = 0; attempt < 3; ++attempt) {
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
        if (result != ERROR_MORE_DATA || bytes <= room) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace platform
