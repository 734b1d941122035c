#include "platform/linux/std_file_system.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

// A NUL would cut the path short at the system call and name another file.
bool Holdable(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

} // namespace

StdFileSystem::StdFileSystem(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {}

std::string StdFileSystem::currentFolder() {
    std::error_code error;
    const auto current = fs::current_path(error);
    return error ? std::string() : current.string();
}

bool StdFileSystem::fileExists(const std::string& path) {
    std::error_code error;
    return Holdable(path) && fs::exists(path, error) && !fs::is_directory(path, error);
}

bool StdFileSystem::folderExists(const std::string& path) {
    std::error_code error;
    return Holdable(path) && fs::is_directory(path, error);
}

bool StdFileSystem::createFolders(const std::string& path) {
    if (!Holdable(path)) {
        return false;
    }
    std::error_code error;
    fs::create_directories(path, error);
    return !error && fs::is_directory(path, error);
}

std::vector<std::string> StdFileSystem::listNames(const std::string& folder,
                                                  const std::string& pattern) {
    std::vector<std::string> names;
    if (!Holdable(folder)) {
        return names;
    }
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        auto name = entry->path().filename().string();
        if (MatchesWildcard(name, pattern)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::error_code StdFileSystem::createEmptyFile(const std::string& path) {
    if (!Holdable(path)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    // No O_TRUNC: a file of that name keeps what it holds. The folder may be shared: what
    // another user planted under the name is neither followed (a link) nor waited on (a FIFO).
    const int descriptor = ::open(
        path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return {errno, std::generic_category()};
    }
    struct stat status {};
    const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    ::close(descriptor);
    return regular ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

bool StdFileSystem::deleteFile(const std::string& path) {
    return Holdable(path) && ::unlink(path.c_str()) == 0;
}

} // namespace platform
