#pragma once

#include <string>

namespace vemlo {

// Stores a per-program setting under "SOFTWARE\Vemlo\" + g_ProgramKey + section in the user and
// the machine hive. When only the user copy could be written, the user hive's
// "SOFTWARE\Vemlo\ERROR_WRITING_TO_LOCAL_MACHINE" "ErrorMsg" gets g_LastRegistryError.
// Throws as RegWriteString does when the machine hive's access list cannot be built.
void WriteSharedSetting(const std::string& section, const std::string& valueName,
                        const std::string& value);

// The user copy, else the machine copy, else "ERROR"; a copy of blanks only counts as none.
std::string ReadSharedSetting(const std::string& section, const std::string& valueName);

} // namespace vemlo
