#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A file read from a folder that other users may write: only a regular file, never through a
// symbolic link, never waiting on a FIFO or a device, and never more than a given size.
struct RegularFileRead {
    // The file is not there (a dangling link is there, and refused).
    bool missing = false;
    // Why it was not read, in Swedish, for the user; "" when it was.
    std::string refusal;
    std::string bytes;
};
RegularFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes);

// Replaces the folder entry itself with a regular file holding the bytes: written beside it
// under a name of its own, synced, then renamed into place, so a symbolic link is replaced and
// its target never written. An existing regular file's permissions are kept. "" on success, else
// why not, in Swedish.
std::string ReplaceWithRegularFile(const std::string& path, std::string_view bytes);

} // namespace platform
