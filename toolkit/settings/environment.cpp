#include "toolkit/settings/environment.h"

#include "platform/file_system.h"
#include "platform/shell_folders.h"
#include "toolkit/settings/shared_settings.h"
#include "toolkit/toolkit_platform.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace vemlo {

std::string g_ProgramPath;
std::string g_ProgramKey;
std::string g_DataLinksPath;
std::string g_DefaultDataProvider;

namespace {

// The folder followed by each name, every one ending in the separator.
std::string Below(const std::string& folder, char separator,
                  std::initializer_list<const char*> names) {
    auto path = folder + separator;
    for (const char* name : names) {
        path += std::string(name) + separator;
    }
    return path;
}

bool NamesDataLink(const std::string& argument) {
    auto upper = argument;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    return upper.find(".UDL") != std::string::npos;
}

// The stored default as it stands, else taken inside the data links folder.
std::string DefaultFromSetting(platform::FileSystem& files) {
    const auto stored = ReadSharedSetting("DataProvider", "DefaultDataProvider");
    return files.fileExists(stored) ? stored : g_DataLinksPath + stored;
}

// A data link argument as written, else in the program folder, else in the data links folder;
// one that names no existing file changes nothing.
void ApplyDataLinkArgument(platform::FileSystem& files, const std::string& argument) {
    for (const auto& candidate : {argument, g_ProgramPath + argument, g_DataLinksPath + argument}) {
        if (files.fileExists(candidate)) {
            g_DefaultDataProvider = candidate;
            return;
        }
    }
}

void CreateSuiteFolder(platform::FileSystem& files) {
    try {
        const auto appData = GetAppDataFolder();
        // Without an application-data folder the suite folder would land at the root.
        if (appData.empty()) {
            return;
        }
        const auto suite = Below(appData, files.separator(), {"Vemlo", "Vemlo Suite"});
        if (!files.folderExists(suite)) {
            files.createFolders(suite);
        }
    } catch (...) {
        // The suite folder is a convenience; the program goes on without it.
    }
}

} // namespace

std::string ProgramKeyFor(const std::string& programPath) {
    auto folder = programPath;
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    std::string key;
    for (const char c : folder) {
        if (c == ' ' || c == '\\' || c == '/') {
            key += '_';
        } else if (c != ':') {
            key += c;
        }
    }
    // An empty component would make every shared setting's key invalid.
    return (key.empty() ? std::string("_") : key) + '\\';
}

bool GetSpecialFolder(int folder, std::string& path) {
    path = ShellFolders().specialFolderPath(folder);
    return !path.empty();
}

std::string GetAppDataFolder() {
    std::string path;
    return GetSpecialFolder(platform::kFolderAppData, path) ? path : std::string();
}

bool InitEnvironment() {
    auto& files = FileSystem();
    const char separator = files.separator();
    auto current = files.currentFolder();
    if (current.empty()) {
        throw std::runtime_error("Unable to get Current path");
    }
    if (current.back() != separator) {
        current += separator;
    }
    g_ProgramPath = current;
    g_ProgramKey = ProgramKeyFor(g_ProgramPath);
    std::string common;
    g_DataLinksPath = GetSpecialFolder(platform::kFolderProgramFilesCommon, common)
                          ? Below(common, separator, {"System", "Ole DB", "Data Links"})
                          : std::string();
    g_DefaultDataProvider = DefaultFromSetting(files);
    for (const auto& argument : files.arguments()) {
        if (NamesDataLink(argument)) {
            ApplyDataLinkArgument(files, argument);
        }
    }
    CreateSuiteFolder(files);
    return true;
}

} // namespace vemlo
