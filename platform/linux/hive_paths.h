#pragma once

#include <string>

namespace platform {

// Where the hives live: VEMLO_MACHINE_HIVE and VEMLO_USER_HIVE override the defaults
// /var/lib/vemlo/machine.hive and $XDG_CONFIG_HOME/vemlo/user.hive (~/.config when unset).
std::string MachineHivePath();
std::string UserHivePath();

} // namespace platform
