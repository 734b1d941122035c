#pragma once

#include "platform/network_names.h"

#include <string>
#include <vector>

namespace platform {

// The entries of a mount table in the kernel's mountinfo format; lines that do not parse are
// left out.
std::vector<MountEntry> ParseMountInfo(const std::string& text);

// Universal names from the process's own mount table.
class MountInfoNetworkNames final : public NetworkNames {
public:
    explicit MountInfoNetworkNames(std::string mountInfoPath = "/proc/self/mountinfo");
    std::optional<std::string> universalName(const std::string& path) override;

private:
    std::string mountInfoPath_;
};

} // namespace platform
