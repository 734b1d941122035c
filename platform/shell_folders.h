#pragma once

#include <string>

namespace platform {

// Special folders by the shell's numbers.
inline constexpr int kFolderAppData = 26;            // the user's application-data folder
inline constexpr int kFolderProgramFilesCommon = 43; // the machine's common program files

// The shell's special folders.
class ShellFolders {
public:
    virtual ~ShellFolders() = default;
    // The folder's path without a trailing separator; "" when it cannot be determined.
    virtual std::string specialFolderPath(int folder) = 0;
};

} // namespace platform
