#include "admin/export_folder.h"

#include "platform/file_system.h"
#include "platform/network_names.h"
#include "toolkit/toolkit_platform.h"

#include <cctype>

namespace lumra {

namespace {

std::string WithTrailingSeparator(std::string folder, char separator) {
    if (folder.empty() || folder.back() != separator) {
        folder += separator;
    }
    return folder;
}

bool IsAbsolute(const std::string& path, char separator) {
    if (separator == '/') {
        return path.starts_with('/');
    }
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':' && path[2] == separator;
    return drive || path.starts_with(std::string(2, separator));
}

std::string Absolute(const std::string& path, char separator) {
    if (IsAbsolute(path, separator)) {
        return path;
    }
    const std::string current = vemlo::FileSystem().currentFolder();
    return current.empty() ? path : WithTrailingSeparator(current, separator) + path;
}

} // namespace

std::string UniversalExportFolder(const std::string& chosen) {
    const char separator = vemlo::FileSystem().separator();
    std::string folder = Absolute(WithTrailingSeparator(chosen, separator), separator);
    if (auto universal = vemlo::NetworkNames().universalName(folder)) {
        folder = std::move(*universal);
    }
    return WithTrailingSeparator(std::move(folder), separator);
}

} // namespace lumra
