// The mount table and the universal names made from it: the first line is a path, the rest a
// mount table in the kernel's mountinfo format. Any table reads without a crash, and a universal
// name is only ever one of a share.
#include "fuzz/check.h"
#include "platform/linux/mountinfo_network_names.h"

#include <cstdint>

namespace {

void CheckName(const std::string& path, const std::vector<platform::MountEntry>& mounts) {
    const auto name = platform::UniversalNameOf(path, mounts);
    Check(!name || name->starts_with("//") || name->starts_with("\\\\"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto newline = input.find('\n');
    const std::string path(input.substr(0, newline));
    const std::string table(newline == std::string_view::npos ? "" : input.substr(newline + 1));
    const auto mounts = platform::ParseMountInfo(table);
    CheckName(path, mounts);
    // Paths below each mount point, so that every entry is tried without the path having to match.
    for (const auto& mount : mounts) {
        CheckName(mount.mountPoint, mounts);
        CheckName(mount.mountPoint + "/" + path, mounts);
    }
    return 0;
}
