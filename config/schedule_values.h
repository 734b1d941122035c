#pragma once

#include "config/config_values.h"

#include <string>
#include <string_view>

namespace lumra {

// The service's schedule values live under this key of the service's key.
inline constexpr std::string_view kTimersKeyName = "Timers";
inline const std::string kTimersKey = std::string(kServiceKey) + std::string(kTimersKeyName);

// Value names of the schedule, which the service reads byte for byte.
inline constexpr std::string_view kValuePeriod = "Period";
inline constexpr std::string_view kValueDag = "Dag";
inline constexpr std::string_view kValueTid = "Tid";
inline constexpr std::string_view kValueNextrun = "Nextrun";
inline constexpr std::string_view kValuePrevrun = "Prevrun";
inline constexpr std::string_view kValueRestart = "Restart";
inline constexpr std::string_view kValueRestarttime = "Restarttime";

} // namespace lumra
