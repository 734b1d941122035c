#include "tests/support/sqlite_file.h"

#include "tests/support/child_process.h"

#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

namespace testing_support {

const std::string kStoreWriter = ProgramBesideTest("store_writer");

std::string IntegrityCheck(const std::string& path) {
    sqlite3* db = nullptr;
    std::string result;
    // A check that could not run says why, so that a failure names its cause.
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_exec(
            db, "PRAGMA integrity_check",
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) += values[0] ? values[0] : "";
                return 0;
            },
            &result, nullptr) != SQLITE_OK) {
        result += "(not checked: " + std::string(db ? sqlite3_errmsg(db) : "no memory") + ", " +
                  std::to_string(db ? sqlite3_extended_errcode(db) : 0) + ")";
    }
    sqlite3_close(db);
    return result;
}

HeldLock::HeldLock(const std::string& path) {
    sqlite3_open(path.c_str(), &db_);
    sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
}

HeldLock::~HeldLock() {
    release();
}

void HeldLock::release() {
    if (db_) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

pid_t RunSqlAsUser(const std::string& hive, int uid, const std::string& sql, bool holdOpen) {
    int ready[2];
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!BecomeUser(uid)) {
            ::_exit(126);
        }
        sqlite3* db = nullptr;
        sqlite3_open(hive.c_str(), &db);
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        }
        if (!holdOpen) {
            sqlite3_close(db);
        }
        const char done = rc == SQLITE_OK ? 'y' : 'n';
        [[maybe_unused]] const auto written = ::write(ready[1], &done, 1);
        if (holdOpen) {
            ::pause();
        }
        ::_exit(0);
    }
    char done = 0;
    const bool ran = ::read(ready[0], &done, 1) == 1 && done == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
    if (!ran) {
        ::kill(pid, SIGKILL);
        Wait(pid);
        return -1;
    }
    return pid;
}

pid_t StartDyingWriter(const std::string& hive, int uid) {
    return RunSqlAsUser(
        hive, uid,
        "PRAGMA journal_mode=TRUNCATE; PRAGMA cache_size=1; BEGIN IMMEDIATE;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<200) "
        "INSERT INTO vals SELECT 999999, 'x'||i, 'x'||i, hex(randomblob(500)) FROM n;",
        true);
}

} // namespace testing_support
