#pragma once

#include "platform/network_names.h"

namespace platform {

// Universal names from the Windows network: a path on a drive mapped to a share becomes
// "\\server\share\rest". Nothing for local paths, for a network that does not answer, and for
// text that is not UTF-8.
class WindowsNetworkNames final : public NetworkNames {
public:
    std::optional<std::string> universalName(const std::string& path) override;
};

} // namespace platform
