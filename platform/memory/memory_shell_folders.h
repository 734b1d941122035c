#pragma once

#include "platform/shell_folders.h"

#include <map>

namespace platform {

// Special folders that a test sets; every other folder cannot be determined.
class MemoryShellFolders final : public ShellFolders {
public:
    std::string specialFolderPath(int folder) override {
        const auto found = folders_.find(folder);
        return found == folders_.end() ? std::string() : found->second;
    }

    void set(int folder, const std::string& path) { folders_[folder] = path; }

private:
    std::map<int, std::string> folders_;
};

} // namespace platform
