#pragma once

#include "platform/folder_browser.h"

#include <cstdint>
#include <string>

namespace vemlo {

// Shows the platform's modal folder chooser over the owner, opening on the folder. True when the
// user chose a folder, which then replaces the folder's text; false when the user cancelled or no
// dialog could be shown, and the folder is left as it was.
bool BrowseForFolder(platform::WindowHandle owner, std::string& folder, const std::string& title,
                     std::uint32_t flags);

} // namespace vemlo
