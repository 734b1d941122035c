#pragma once

#include "platform/shell_folders.h"

namespace platform {

// Special folders after the XDG base directories: the application-data folder is
// VEMLO_APPDATA, else $XDG_DATA_HOME, else ~/.local/share; the common program files folder is
// VEMLO_COMMON_FILES, else /usr/local/share/vemlo/common. Other folders are not known.
class XdgShellFolders final : public ShellFolders {
public:
    std::string specialFolderPath(int folder) override;
};

} // namespace platform
