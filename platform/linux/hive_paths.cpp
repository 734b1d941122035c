#include "platform/linux/hive_paths.h"

#include <cstdlib>

namespace platform {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::string MachineHivePath() {
    const auto overridden = Environment("VEMLO_MACHINE_HIVE");
    return overridden.empty() ? "/var/lib/vemlo/machine.hive" : overridden;
}

std::string UserHivePath() {
    const auto overridden = Environment("VEMLO_USER_HIVE");
    if (!overridden.empty()) {
        return overridden;
    }
    auto config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = Environment("HOME") + "/.config";
    }
    return config + "/vemlo/user.hive";
}

} // namespace platform
