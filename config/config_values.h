#pragma once

#include <string>
#include <string_view>

namespace lumra {

// The export service's key in the machine hive, which the service reads byte for byte.
inline constexpr std::string_view kServiceKey = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\";
inline constexpr std::string_view kConfigSlotPrefix = "Configurations\\Config-";

// Value names of one configuration slot.
inline constexpr std::string_view kValueName = "Name";
inline constexpr std::string_view kValueDataProvider = "DataProvider";
inline constexpr std::string_view kValueExportPathBokforing = "ExportPathBokforing";
inline constexpr std::string_view kValueFileFormat = "FileFormat";
inline constexpr std::string_view kValueExportFilename = "ExportFilename";

// The data provider of a new configuration, taken literally by the service.
inline constexpr std::string_view kDefaultDataProvider = "DefaultDataProvider";
// A new configuration's name is this prefix and the list's count before it was added.
inline constexpr std::string_view kNewConfigNamePrefix = "Config-";

// The key of slot n under the configuration list's key.
inline std::string ConfigSlotKey(std::string_view configPath, long long slot) {
    return std::string(configPath) + std::string(kConfigSlotPrefix) + std::to_string(slot);
}

} // namespace lumra
