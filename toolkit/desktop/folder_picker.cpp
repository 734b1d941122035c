#include "toolkit/desktop/folder_picker.h"

#include "toolkit/toolkit_platform.h"

namespace vemlo {

bool BrowseForFolder(platform::WindowHandle owner, std::string& folder, const std::string& title,
                     std::uint32_t flags) {
    auto chosen = FolderBrowser().browse(
        {.owner = owner, .title = title, .initialFolder = folder, .flags = flags});
    if (!chosen) {
        return false;
    }
    folder = std::move(*chosen);
    return true;
}

} // namespace vemlo
