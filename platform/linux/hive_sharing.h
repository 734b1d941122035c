#pragma once

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

struct sqlite3;

namespace platform {

// The rules for a hive in a shared folder (sticky, and writable by others than its owner, as the
// machine hive's is): every file there that SQLite uses, the hive, its journal, a WAL and its
// index, belongs to the folder's owner and has one name. Anything else is another user's file
// and is never used, so nobody can lock the others out or make root write into their file.
struct HiveFolder {
    bool shared = false;
    uid_t owner = 0;
    // Only the owner creates files in a shared folder.
    bool mayCreate() const;
    bool ownedByCaller() const;
};

// The folder of the file; a folder that cannot be examined counts as shared, owned by root.
HiveFolder FolderOf(const std::string& file);

// Why the file (as lstat or fstat describes it) may not be used in that folder, in words that
// follow its name ("is a FIFO, not a regular file; ..."), or "" when it may.
std::string RefusalOf(const struct stat& info, const HiveFolder& folder);

// Why a missing file may not be created by this process in that folder, or "".
std::string CreationRefusal(const HiveFolder& folder);

// Makes sure the hive file may be used, creating it when it is missing and the folder lets this
// process: makeStore (which gives "" or why not) fills a new file beside it, which then takes
// the hive's name unless another process gave it one meanwhile, so the hive is never seen
// empty; then its journal is made. Both get the mode given, whatever the umask. "" when the
// hive may be used, else why not, in words that follow the file's name.
std::string UseOrCreateHive(const std::string& hive, const HiveFolder& folder, mode_t mode,
                            const std::function<std::string(const std::string&)>& makeStore);

// The command that sets the machine hive up, for messages.
inline constexpr const char* kSetUpCommand = "vemlo-reg init-machine-hive";

// Why a WAL file is not used by this process, in words that follow its name.
std::string WalNotAllowed();

// For a hive that uses WAL in a shared folder: why this process may not use it, naming the
// file at fault (a WAL file that may not be used, or else the hive when this process is not
// the folder's owner), or "" when it may and is to switch it back.
std::string WalRefusal(const std::string& hive, const HiveFolder& folder);

// True when the hive's header says write-ahead logging or a WAL file that is not empty lies
// beside it.
bool UsesWal(const std::string& hive);

// Switches an open hive in a shared folder out of write-ahead logging, as the folder's owner:
// in exclusive locking mode SQLite keeps the WAL index in its own memory, so no index file is
// made or used. "" when done, else why not.
std::string LeaveWal(sqlite3* db);

} // namespace platform
