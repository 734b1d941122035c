#pragma once

#include "platform/file_system.h"

namespace platform {

// Files and folders through std::filesystem; the arguments are handed in at start.
class StdFileSystem final : public FileSystem {
public:
    explicit StdFileSystem(std::vector<std::string> arguments);

    char separator() const override { return '/'; }
    std::string currentFolder() override;
    std::vector<std::string> arguments() override { return arguments_; }
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool createFolders(const std::string& path) override;
    std::vector<std::string> listNames(const std::string& folder,
                                       const std::string& pattern) override;
    std::error_code createEmptyFile(const std::string& path) override;
    bool deleteFile(const std::string& path) override;

private:
    std::vector<std::string> arguments_;
};

} // namespace platform
