#pragma once

#include "platform/shell_folders.h"

namespace platform {

// The shell's special folders: the application-data folder through its item list, every other
// folder through SHGetFolderPathW.
class WindowsShellFolders final : public ShellFolders {
public:
    std::string specialFolderPath(int folder) override;
};

} // namespace platform
