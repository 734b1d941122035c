#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace platform {

// Files and folders, the current folder and the command line. Paths are the platform's own;
// relative ones are taken from the current folder. A path that the platform cannot hold (too
// long, holding a NUL) fails like a missing one.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The separator of folder names in this platform's paths.
    virtual char separator() const = 0;
    // The process's current folder as an absolute path; "" when it cannot be read.
    virtual std::string currentFolder() = 0;
    // The command-line arguments, the program itself not counted.
    virtual std::vector<std::string> arguments() = 0;

    // Whether a file (following links; not a folder) exists.
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    // Creates the folder with every missing parent; true when it exists afterwards.
    virtual bool createFolders(const std::string& path) = 0;
    // The names, without folder, of the entries of a folder (files and folders alike) that match
    // a pattern of "*" and "?" without regard to the case of letters, in the folder's own order.
    // A missing or unreadable folder has none.
    virtual std::vector<std::string> listNames(const std::string& folder,
                                               const std::string& pattern) = 0;
    // Creates an empty file; an existing file keeps its content. The error when it cannot.
    virtual std::error_code createEmptyFile(const std::string& path) = 0;
    // Removes a file; false when it could not be removed.
    virtual bool deleteFile(const std::string& path) = 0;
};

// Whether the name matches the pattern of "*" (any run) and "?" (one character), ignoring the
// case of ASCII letters.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

} // namespace platform
