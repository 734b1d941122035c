#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// One entry of the platform's mount table: where a file system is mounted, its type and what it
// is mounted from. A drive mapped to a network share is an entry too, mounted at "Z:" from
// "\\server\share".
struct MountEntry {
    std::string mountPoint;
    std::string type;
    std::string source;
};

// The file system type of the desktop session's own mounts of network shares.
inline constexpr const char* kSessionMountType = "fuse.gvfsd-fuse";

// The universal name of an absolute path on a network share that only the user's session sees,
// given the mount table: a folder on a mapped drive ("Z:\rest") becomes "\\server\share\rest", a
// folder on the session's SMB share mount ("<mount>/smb-share:server=S,share=X/rest") becomes
// "//S/X/rest". Nothing for every other path: local folders, and mounts that the whole machine
// sees, keep their name.
std::optional<std::string> UniversalNameOf(const std::string& path,
                                           const std::vector<MountEntry>& mounts);

// Universal names of network folders (the Windows network's universal-name request).
class NetworkNames {
public:
    virtual ~NetworkNames() = default;
    // The path in its universal form; nothing when it has none (see UniversalNameOf) or the
    // mount table cannot be read.
    virtual std::optional<std::string> universalName(const std::string& path) = 0;
};

} // namespace platform
