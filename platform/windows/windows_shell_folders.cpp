#include "platform/windows/windows_shell_folders.h"

#include "platform/windows/wide_text.h"

#include <windows.h>
// Needs windows.h first.
#include <shlobj.h>

namespace platform {

namespace {

std::string WithoutTrailingSeparator(const wchar_t* path) {
    std::wstring_view text(path);
    while (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/')) {
        text.remove_suffix(1);
    }
    return Narrow(text);
}

} // namespace

std::string WindowsShellFolders::specialFolderPath(int folder) {
    wchar_t path[MAX_PATH] = {};
    if (folder == kFolderAppData) {
        PIDLIST_ABSOLUTE items = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &items))) {
            return {};
        }
        const BOOL found = SHGetPathFromIDListW(items, path);
        CoTaskMemFree(items);
        return found ? WithoutTrailingSeparator(path) : std::string();
    }
    if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return WithoutTrailingSeparator(path);
}

} // namespace platform
