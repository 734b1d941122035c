#pragma once

#include <string>

namespace platform {

// The name of the SQLite VFS that the hives are opened with, registered on first use. It is the
// default VFS with these changes for a folder that every local user may write:
// - a file SQLite opens or looks for beside a hive (the journal, a WAL) must be a regular file,
//   not a FIFO, a symbolic link or a folder that another user planted, and in a shared folder
//   one with a single name that belongs to the folder's owner (hive_sharing.h); anything else
//   fails at once, naming the file;
// - an existing file is opened without O_CREAT, a missing one created exclusively and, in a
//   shared folder, only by its owner; nobody else opens a WAL there;
// - the journal is never removed but truncated to zero length instead (an empty journal is not
//   hot), so it keeps its owner and a writer that died leaves nobody locked out.
const char* HiveVfsName();

// The problem that the VFS met most recently on this thread, naming the file; "" when none.
// Taking it clears it.
std::string TakeHiveVfsProblem();

} // namespace platform
