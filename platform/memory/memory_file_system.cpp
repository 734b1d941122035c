#include "platform/memory/memory_file_system.h"

#include <algorithm>

namespace platform {

namespace {

// Longer paths fail as they do on the platform.
constexpr std::size_t kLongestPath = 4096;

std::vector<std::string> Split(const std::string& path, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

} // namespace

MemoryFileSystem::MemoryFileSystem(char separator)
    : separator_(separator)
    , current_(separator == '/' ? "/srv/lumra" : "C:\\Lumra") {}

std::string MemoryFileSystem::resolve(const std::string& path) const {
    if (path.empty() || path.find('\0') != std::string::npos || path.size() > kLongestPath) {
        return {};
    }
    const bool drive = path.size() >= 2 && path[1] == ':';
    const bool absolute = path.front() == separator_ || drive;
    if (!absolute && current_.empty()) {
        return {};
    }
    auto parts = Split(absolute ? path : current_ + separator_ + path, separator_);
    // The first part is the root: empty after a leading separator, or a drive.
    std::string result = parts.front();
    std::vector<std::string> names;
    for (auto part = parts.begin() + 1; part != parts.end(); ++part) {
        if (*part == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!part->empty() && *part != ".") {
            names.push_back(*part);
        }
    }
    result += separator_;
    for (std::size_t i = 0; i < names.size(); ++i) {
        result += (i ? std::string(1, separator_) : std::string()) + names[i];
    }
    return result;
}

std::string MemoryFileSystem::parentOf(const std::string& path) const {
    const auto last = path.find_last_of(separator_);
    if (last == std::string::npos || last + 1 == path.size()) {
        return {};
    }
    const auto root = path.find(separator_);
    return path.substr(0, last == root ? last + 1 : last);
}

bool MemoryFileSystem::writable(const std::string& folder) const {
    return !readOnly_.contains(folder);
}

void MemoryFileSystem::addEntry(const std::string& path, std::optional<std::string> content) {
    if (!entries_.contains(path)) {
        order_.push_back(path);
    }
    entries_[path] = std::move(content);
}

bool MemoryFileSystem::fileExists(const std::string& path) {
    const auto found = entries_.find(resolve(path));
    return found != entries_.end() && found->second.has_value();
}

bool MemoryFileSystem::folderExists(const std::string& path) {
    const auto resolved = resolve(path);
    if (!resolved.empty() && parentOf(resolved).empty()) {
        return true;
    }
    const auto found = entries_.find(resolved);
    return found != entries_.end() && !found->second.has_value();
}

bool MemoryFileSystem::createFolders(const std::string& path) {
    const auto resolved = resolve(path);
    if (resolved.empty()) {
        return false;
    }
    const auto parent = parentOf(resolved);
    if (parent.empty() || folderExists(resolved)) {
        return folderExists(resolved);
    }
    if (entries_.contains(resolved) || !createFolders(parent) || !writable(parent)) {
        return false;
    }
    addEntry(resolved, std::nullopt);
    ++foldersCreated_;
    return true;
}

std::vector<std::string> MemoryFileSystem::listNames(const std::string& folder,
                                                     const std::string& pattern) {
    std::vector<std::string> names;
    const auto resolved = resolve(folder);
    if (!folderExists(resolved)) {
        return names;
    }
    for (const auto& entry : order_) {
        if (parentOf(entry) != resolved) {
            continue;
        }
        auto name = entry.substr(entry.find_last_of(separator_) + 1);
        if (MatchesWildcard(name, pattern)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::error_code MemoryFileSystem::createEmptyFile(const std::string& path) {
    const auto resolved = resolve(path);
    if (resolved.empty()) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (fileExists(resolved)) {
        return {};
    }
    if (folderExists(resolved)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    const auto parent = parentOf(resolved);
    if (!folderExists(parent)) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (!writable(parent)) {
        return std::make_error_code(std::errc::permission_denied);
    }
    addEntry(resolved, std::string());
    return {};
}

bool MemoryFileSystem::deleteFile(const std::string& path) {
    const auto resolved = resolve(path);
    if (!fileExists(resolved) || !writable(parentOf(resolved))) {
        return false;
    }
    entries_.erase(resolved);
    order_.erase(std::find(order_.begin(), order_.end(), resolved));
    return true;
}

void MemoryFileSystem::addFile(const std::string& path, const std::string& content) {
    const auto resolved = resolve(path);
    const int counted = foldersCreated_;
    createFolders(parentOf(resolved));
    foldersCreated_ = counted;
    addEntry(resolved, content);
}

void MemoryFileSystem::setReadOnly(const std::string& folder) {
    readOnly_.insert(resolve(folder));
}

std::optional<std::string> MemoryFileSystem::content(const std::string& path) const {
    const auto found = entries_.find(resolve(path));
    return found == entries_.end() ? std::nullopt : found->second;
}

} // namespace platform
