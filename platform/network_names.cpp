#include "platform/network_names.h"

#include <cctype>
#include <map>
#include <string_view>

namespace platform {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsWithDrive(std::string_view path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

bool SameDrive(std::string_view a, std::string_view b) {
    return a.size() == 2 && b.size() == 2 && a[1] == ':' && b[1] == ':' &&
           std::toupper(static_cast<unsigned char>(a[0])) ==
               std::toupper(static_cast<unsigned char>(b[0]));
}

// The path with the mapped drive's letter replaced by its share's universal name.
std::optional<std::string> MappedDriveName(const std::string& path,
                                           const std::vector<MountEntry>& mounts) {
    for (const auto& mount : mounts) {
        if (SameDrive(mount.mountPoint, std::string_view(path).substr(0, 2)) &&
            mount.source.starts_with("\\\\")) {
            std::string share = mount.source;
            while (share.size() > 2 && share.back() == '\\') {
                share.pop_back();
            }
            return share + path.substr(2);
        }
    }
    return std::nullopt;
}

bool IsBelow(std::string_view path, std::string_view mountPoint) {
    if (!path.starts_with(mountPoint)) {
        return false;
    }
    return path.size() == mountPoint.size() || mountPoint.ends_with('/') ||
           path[mountPoint.size()] == '/';
}

// The mount that holds the path: the one with the longest mount point above it.
const MountEntry* MountOf(const std::string& path, const std::vector<MountEntry>& mounts) {
    const MountEntry* found = nullptr;
    for (const auto& mount : mounts) {
        if (!mount.mountPoint.empty() && IsBelow(path, mount.mountPoint) &&
            (!found || mount.mountPoint.size() > found->mountPoint.size())) {
            found = &mount;
        }
    }
    return found;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// The session's mount names escape what cannot stand in a key's value as "%XX".
std::string Unescaped(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexDigit(text[i + 1]);
            const int low = HexDigit(text[i + 2]);
            if (high >= 0 && low >= 0) {
                plain += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

// The keys of a share folder's name "smb-share:key=value,key=value"; none for other kinds.
std::map<std::string, std::string> ShareKeys(std::string_view folderName) {
    constexpr std::string_view kind = "smb-share:";
    std::map<std::string, std::string> keys;
    if (!folderName.starts_with(kind)) {
        return keys;
    }
    std::string_view rest = folderName.substr(kind.size());
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const auto pair = rest.substr(0, comma);
        const auto equals = pair.find('=');
        if (equals != std::string_view::npos) {
            keys[std::string(pair.substr(0, equals))] = Unescaped(pair.substr(equals + 1));
        }
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return keys;
}

std::optional<std::string> SessionShareName(const std::string& path,
                                            const std::vector<MountEntry>& mounts) {
    const MountEntry* mount = MountOf(path, mounts);
    if (!mount || mount->type != kSessionMountType) {
        return std::nullopt;
    }
    std::string_view below = std::string_view(path).substr(mount->mountPoint.size());
    while (below.starts_with('/')) {
        below.remove_prefix(1);
    }
    const auto slash = below.find('/');
    const auto keys = ShareKeys(below.substr(0, slash));
    const auto server = keys.find("server");
    const auto share = keys.find("share");
    if (server == keys.end() || share == keys.end() || server->second.empty() ||
        share->second.empty()) {
        return std::nullopt;
    }
    const std::string rest =
        slash == std::string_view::npos ? "" : std::string(below.substr(slash));
    return "//" + server->second + "/" + share->second + rest;
}

} // namespace

std::optional<std::string> UniversalNameOf(const std::string& path,
                                           const std::vector<MountEntry>& mounts) {
    if (StartsWithDrive(path)) {
        return MappedDriveName(path, mounts);
    }
    if (path.starts_with('/')) {
        return SessionShareName(path, mounts);
    }
    return std::nullopt;
}

} // namespace platform
