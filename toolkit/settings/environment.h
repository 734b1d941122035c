#pragma once

#include <string>

namespace vemlo {

// The toolkit's start-up environment, set by InitEnvironment; empty until its first run.
// Paths use the platform's separator and end in one.
extern std::string g_ProgramPath;         // the current folder the program was started in
extern std::string g_ProgramKey;          // per-program settings key, ending in "\"
extern std::string g_DataLinksPath;       // the folder of the data link files
extern std::string g_DefaultDataProvider; // the default data link file

// Works out the variables above again and creates the suite folder "Vemlo/Vemlo Suite" in the
// user's application-data folder when it is missing. Throws std::runtime_error "Unable to get
// Current path" when the current folder cannot be read; the variables then keep their values.
bool InitEnvironment();

// The settings key of a program folder: without its trailing separator, blanks and separators
// ("\" or "/") made "_", colons removed, then "\". The file-system root gives "_\".
std::string ProgramKeyFor(const std::string& programPath);

// The special folder's path without a trailing separator; found when it is not empty.
bool GetSpecialFolder(int folder, std::string& path);
// The user's application-data folder, or "" when it cannot be determined.
std::string GetAppDataFolder();

} // namespace vemlo
