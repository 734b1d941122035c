#pragma once

#include <string>

namespace platform {

// The name of the SQLite VFS that the hives are opened with, registered on first use. It is the
// default VFS with two changes for a folder that every local user may write:
// - a file SQLite opens or looks for beside a hive (the journal) must be a regular file, not
//   a FIFO, a symbolic link or a folder that another user planted; anything else fails at once;
// - a journal it may not remove (another user's, in a sticky folder, left by a writer that died)
//   is truncated to zero length instead: an empty journal is not hot, so the next user's call
//   neither fails nor rolls back again.
const char* HiveVfsName();

// The problem that the VFS met most recently on this thread, naming the file; "" when none.
// Taking it clears it.
std::string TakeHiveVfsProblem();

} // namespace platform
