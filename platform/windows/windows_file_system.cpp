#include "platform/windows/windows_file_system.h"

#include <filesystem>
#include <windows.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The path for the system's calls; nothing for one that is not UTF-8 or holds a NUL, which would
// cut it short there and name another file.
std::optional<std::wstring> Held(const std::string& path) {
    auto wide = Widen(path);
    if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) {
        return std::nullopt;
    }
    return wide;
}

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

} // namespace

WindowsFileSystem::WindowsFileSystem(std::vector<std::string> arguments)
    : arguments_(std::move(arguments)) {}

std::string WindowsFileSystem::currentFolder() {
    // A second try covers a folder changed to a longer one in between.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD units = GetCurrentDirectoryW(0, nullptr);
        if (units == 0) {
            return {};
        }
        std::wstring folder(units, L'\0');
        const DWORD written = GetCurrentDirectoryW(units, folder.data());
        if (written > 0 && written < units) {
            folder.resize(written);
            return Narrow(folder);
        }
    }
    return {};
}

bool WindowsFileSystem::fileExists(const std::string& path) {
    const auto wide = Held(path);
    std::error_code error;
    const auto status = wide ? fs::status(*wide, error) : fs::file_status();
    return !error && fs::exists(status) && !fs::is_directory(status);
}

bool WindowsFileSystem::folderExists(const std::string& path) {
    const auto wide = Held(path);
    std::error_code error;
    return wide && fs::is_directory(*wide, error);
}

bool WindowsFileSystem::createFolders(const std::string& path) {
    const auto wide = Held(path);
    if (!wide) {
        return false;
    }
    std::error_code error;
    fs::create_directories(*wide, error);
    return !error && fs::is_directory(*wide, error);
}

std::vector<std::string> WindowsFileSystem::listNames(const std::string& folder,
                                                      const std::string& pattern) {
    std::vector<std::string> names;
    const auto wide = Held(folder);
    if (!wide) {
        return names;
    }
    WIN32_FIND_DATAW entry{};
    const std::wstring all = *wide + (wide->back() == L'\\' ? L"*" : L"\\*");
    HANDLE search =
        FindFirstFileExW(all.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring_view name(entry.cFileName);
        if (name == L"." || name == L"..") {
            continue;
        }
        auto narrow = Narrow(name);
        if (MatchesWildcard(narrow, pattern)) {
            names.push_back(std::move(narrow));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

std::error_code WindowsFileSystem::createEmptyFile(const std::string& path) {
    const auto wide = Held(path);
    if (!wide) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    // OPEN_ALWAYS: a file of that name keeps what it holds. What another user planted under the
    // name is not followed (a link) and a device name ("NUL", "COM1") is no file.
    HANDLE file = CreateFileW(
        wide->c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool regular =
        GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
        !(information.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
    CloseHandle(file);
    return regular ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

bool WindowsFileSystem::deleteFile(const std::string& path) {
    const auto wide = Held(path);
    return wide && DeleteFileW(wide->c_str());
}

} // namespace platform
