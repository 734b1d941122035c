#pragma once

#include <string>
#include <sys/types.h>

struct sqlite3;

namespace testing_support {

// The store_writer helper (platform/linux/store_writer.cpp), found beside the test program so
// that a copy of both runs anywhere.
extern const std::string kStoreWriter;

// SQLite's own integrity check of a file, opened read-only: "ok" when sound.
std::string IntegrityCheck(const std::string& path);

// Another connection holding a file's exclusive lock until release, as a crashed or slow
// process would.
class HeldLock {
public:
    explicit HeldLock(const std::string& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    void release();

private:
    sqlite3* db_ = nullptr;
};

// A program of another user's own on a hive, as the sqlite3 shell would be: as the user, with
// SQLite's own VFS, it runs sql; with holdOpen it keeps the connection (and any transaction sql
// left open) until it is killed, else it closes it and ends. Its pid once sql has run, or -1
// (it was ended) when sql failed.
pid_t RunSqlAsUser(const std::string& hive, int uid, const std::string& sql, bool holdOpen);

// A writer of the user that is left with its transaction half done: its changes spilled into the
// hive itself, so the journal is hot. Its pid, for the test to kill it; -1 when it failed.
pid_t StartDyingWriter(const std::string& hive, int uid);

} // namespace testing_support
