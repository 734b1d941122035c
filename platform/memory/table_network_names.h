#pragma once

#include "platform/network_names.h"

namespace platform {

// Universal names from a mount table that the test sets.
class TableNetworkNames final : public NetworkNames {
public:
    std::optional<std::string> universalName(const std::string& path) override {
        return UniversalNameOf(path, mounts);
    }

    std::vector<MountEntry> mounts;
};

} // namespace platform
