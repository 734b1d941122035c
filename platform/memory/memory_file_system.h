#pragma once

#include "platform/file_system.h"

#include <map>
#include <optional>
#include <set>

namespace platform {

// Files and folders held in memory, for tests, with a separator of the test's choice so that
// either style of path can be tried. Names compare exactly; listings keep the order of creation.
// A folder can be made read-only, so nothing can be created in or removed from it.
class MemoryFileSystem final : public FileSystem {
public:
    explicit MemoryFileSystem(char separator = '/');

    char separator() const override { return separator_; }
    std::string currentFolder() override { return current_; }
    std::vector<std::string> arguments() override { return arguments_; }
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool createFolders(const std::string& path) override;
    std::vector<std::string> listNames(const std::string& folder,
                                       const std::string& pattern) override;
    std::error_code createEmptyFile(const std::string& path) override;
    bool deleteFile(const std::string& path) override;

    // An empty current folder makes it unreadable.
    void setCurrentFolder(const std::string& folder) { current_ = folder; }
    void setArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }
    // Adds a file with its content, creating the folders above it.
    void addFile(const std::string& path, const std::string& content = {});
    void setReadOnly(const std::string& folder);
    // The file's content, or nothing when there is no such file.
    std::optional<std::string> content(const std::string& path) const;
    // How many folders createFolders has made.
    int foldersCreated() const { return foldersCreated_; }

private:
    // The absolute, normalised form of a path; "" for one that names nothing.
    std::string resolve(const std::string& path) const;
    std::string parentOf(const std::string& path) const;
    bool writable(const std::string& folder) const;
    void addEntry(const std::string& path, std::optional<std::string> content);

    char separator_;
    std::string current_;
    std::vector<std::string> arguments_;
    // Folders map to nothing, files to their content.
    std::map<std::string, std::optional<std::string>> entries_;
    std::vector<std::string> order_;
    std::set<std::string> readOnly_;
    int foldersCreated_ = 0;
};

} // namespace platform
