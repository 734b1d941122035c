#pragma once

#include "platform/file_system.h"
#include "platform/windows/wide_text.h"

namespace platform {

// Files and folders through the system's wide-character calls, so that names outside the ANSI
// code page keep their letters; the arguments are the process's own unless handed in.
class WindowsFileSystem final : public FileSystem {
public:
    explicit WindowsFileSystem(std::vector<std::string> arguments = Utf8Arguments());

    char separator() const override { return '\\'; }
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
