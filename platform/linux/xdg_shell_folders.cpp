#include "platform/linux/xdg_shell_folders.h"

#include "platform/linux/environment_variable.h"

namespace platform {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string AppDataFolder() {
    if (auto overridden = EnvironmentVariable("VEMLO_APPDATA"); !overridden.empty()) {
        return overridden;
    }
    // Relative values of XDG_DATA_HOME are invalid and ignored.
    if (auto data = EnvironmentVariable("XDG_DATA_HOME"); data.starts_with('/')) {
        return data;
    }
    const auto home = EnvironmentVariable("HOME");
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string CommonFilesFolder() {
    const auto overridden = EnvironmentVariable("VEMLO_COMMON_FILES");
    return overridden.empty() ? "/usr/local/share/vemlo/common" : overridden;
}

} // namespace

std::string XdgShellFolders::specialFolderPath(int folder) {
    switch (folder) {
    case kFolderAppData:
        return WithoutTrailingSlashes(AppDataFolder());
    case kFolderProgramFilesCommon:
        return WithoutTrailingSlashes(CommonFilesFolder());
    default:
        return {};
    }
}

} // namespace platform
