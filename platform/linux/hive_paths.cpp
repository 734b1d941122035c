#include "platform/linux/hive_paths.h"

#include "platform/linux/environment_variable.h"

namespace platform {

namespace {} // namespace

std::string MachineHivePath() {
    const auto overridden = EnvironmentVariable("VEMLO_MACHINE_HIVE");
    return overridden.empty() ? "/var/lib/vemlo/machine.hive" : overridden;
}

std::string UserHivePath() {
    const auto overridden = EnvironmentVariable("VEMLO_USER_HIVE");
    if (!overridden.empty()) {
        return overridden;
    }
    auto config = EnvironmentVariable("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = EnvironmentVariable("HOME") + "/.config";
    }
    return config + "/vemlo/user.hive";
}

} // namespace platform
