#include "tests/support/sqlite_file.h"

#include <sqlite3.h>

namespace testing_support {

std::string IntegrityCheck(const std::string& path) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, "PRAGMA integrity_check",
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) += values[0] ? values[0] : "";
                return 0;
            },
            &result, nullptr);
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

} // namespace testing_support
