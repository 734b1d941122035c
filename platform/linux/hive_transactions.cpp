#include "platform/linux/hive_file.h"
#include "platform/linux/hive_schema.h"
#include "platform/linux/hive_vfs.h"
#include "platform/linux/store_messages.h"

#include <sqlite3.h>

// The transactions of a hive file: single writes, batches, and the read shared by open keys.
namespace platform {

int HiveFile::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

Status HiveFile::sqliteFailure(int rc, std::string& detail) const {
    detail = TakeHiveVfsProblem();
    if (const auto why = HiveContentProblem(db_, rc); detail.empty() && !why.empty()) {
        detail = About(path_, why);
        return kBadDatabase;
    }
    if (detail.empty()) {
        detail = About(path_, std::string("failed: ") + sqlite3_errstr(rc) + ".");
    }
    switch (rc & 0xFF) {
    case SQLITE_INTERRUPT:
        detail = About(path_, "failed: database is locked (the wait reached its deadline).");
        return kBusy;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kBusy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return kAccessDenied;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return kBadDatabase;
    default:
        return kRegistryIoFailed;
    }
}

Status HiveFile::beginWrite(std::string& detail) {
    if (writing_) {
        return kSuccess;
    }
    if (const Status status = writable(detail)) {
        return status;
    }
    endRead();
    if (const int rc = exec("BEGIN IMMEDIATE"); rc != SQLITE_OK) {
        return sqliteFailure(rc, detail);
    }
    writing_ = true;
    return kSuccess;
}

Status HiveFile::commitWrite(std::string& detail) {
    writing_ = false;
    if (const int rc = exec("COMMIT"); rc != SQLITE_OK) {
        const Status status = sqliteFailure(rc, detail);
        rollbackWrite();
        return status;
    }
    return kSuccess;
}

void HiveFile::rollbackWrite() {
    writing_ = false;
    if (!sqlite3_get_autocommit(db_)) {
        exec("ROLLBACK");
    }
}

Status HiveFile::beginBatch(BatchKind kind, std::string& detail) {
    if (batchDepth_ > 0 && kind == BatchKind::Write && batchKind_ == BatchKind::Read) {
        detail = About(path_, "cannot be written inside a batch of reads.");
        return kInvalidParameter;
    }
    if (batchDepth_ == 0) {
        if (kind == BatchKind::Write) {
            if (const Status status = beginWrite(detail)) {
                return status;
            }
            batchFailed_ = false;
        } else {
            if (const Status status = open(detail)) {
                return status;
            }
            // A deferred transaction: its snapshot is taken at its first read.
            endRead();
            if (const int rc = exec("BEGIN"); rc != SQLITE_OK) {
                return sqliteFailure(rc, detail);
            }
        }
        batchKind_ = kind;
    }
    ++batchDepth_;
    return kSuccess;
}

Status HiveFile::endBatch(std::string& detail, bool store) {
    if (batchDepth_ == 0) {
        return kInvalidParameter;
    }
    if (--batchDepth_ > 0) {
        return kSuccess;
    }
    if (batchKind_ == BatchKind::Read) {
        foundInBatch_.clear();
        if (!sqlite3_get_autocommit(db_)) {
            exec("COMMIT");
        }
        return kSuccess;
    }
    if (!store || batchFailed_ || !writing_ || sqlite3_get_autocommit(db_)) {
        rollbackWrite();
        detail = About(path_, "was not changed: the batch of writes was rolled back.");
        return kRegistryIoFailed;
    }
    return commitWrite(detail);
}

Status HiveFile::writeTransaction(std::string& detail, const std::function<Status()>& body) {
    if (inWriteBatch()) {
        return batchStep(detail, body);
    }
    if (inReadBatch()) {
        detail = About(path_, "cannot be written inside a batch of reads.");
        return kInvalidParameter;
    }
    if (const Status status = beginWrite(detail)) {
        return status;
    }
    const Status status = body();
    if (status == kSuccess) {
        return commitWrite(detail);
    }
    rollbackWrite();
    return status;
}

Status HiveFile::batchStep(std::string& detail, const std::function<Status()>& body) {
    if (batchFailed_ || sqlite3_get_autocommit(db_)) {
        batchFailed_ = true;
        detail = About(path_, "was not changed: the batch of writes was rolled back.");
        return kRegistryIoFailed;
    }
    if (const int rc = exec("SAVEPOINT step"); rc != SQLITE_OK) {
        return sqliteFailure(rc, detail);
    }
    const Status status = body();
    if (sqlite3_get_autocommit(db_)) {
        batchFailed_ = true;
        return status == kSuccess ? kRegistryIoFailed : status;
    }
    if (status != kSuccess) {
        exec("ROLLBACK TO step");
    }
    exec("RELEASE step");
    return status;
}

// A reader never holds the lock for long: a read shared by open keys that has lasted longer
// than this ends, and the next call begins a new one, so a writer waiting meanwhile gets in.
constexpr auto kLongestSharedRead = std::chrono::milliseconds(100);

void HiveFile::beginRead() {
    if (reading_ && std::chrono::steady_clock::now() - readSince_ > kLongestSharedRead) {
        endRead();
    }
    if (!reading_ && sqlite3_get_autocommit(db_)) {
        Use begin(statements_->beginRead);
        reading_ = begin->step() == SQLITE_DONE;
        readSince_ = std::chrono::steady_clock::now();
    }
}

void HiveFile::endRead() {
    if (reading_) {
        Use commit(statements_->commitRead);
        commit->step();
        reading_ = false;
    }
}

void HiveFile::keyClosed() {
    if (--openKeys_ == 0) {
        endRead();
        // A transaction left open by createKey holds no changes.
        if (writing_ && !inWriteBatch()) {
            std::string ignored;
            commitWrite(ignored);
        }
    }
}

} // namespace platform
