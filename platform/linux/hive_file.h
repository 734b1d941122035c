#pragma once

#include "platform/linux/sqlite_statement.h"
#include "platform/settings_store.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace platform {

// One hive file of the SQLite store: its connection, its checks at opening, its transactions.
// The opening and the schema are in hive_file_open.cpp, the transactions and batches in
// hive_transactions.cpp, the lookups of keys with the store in sqlite_settings_store.cpp.
class HiveFile {
public:
    HiveFile(std::string path, bool shared);
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;
    ~HiveFile();

    // Opens the file once; afterwards the outcome of that open, unless it found the file busy,
    // which is tried again on the next call.
    Status open(std::string& detail);
    Status writable(std::string& detail);
    // What a real write would meet: a write transaction that changes a page, so that the journal
    // is created, then rolled back.
    Status problem(std::string& detail);
    // Maps an SQLite result to a status, with a detail that names the file.
    Status sqliteFailure(int rc, std::string& detail) const;
    // A write transaction: BEGIN IMMEDIATE takes the write lock before anything is read, so two
    // writers wait for each other instead of failing at once.
    Status beginWrite(std::string& detail);
    Status commitWrite(std::string& detail);
    void rollbackWrite();
    Status beginBatch(BatchKind kind, std::string& detail);
    // Ends the batch; the outermost write batch stores what it holds, unless told not to.
    Status endBatch(std::string& detail, bool store = true);
    // Runs body in a write transaction (the one already begun, if any) and commits it; any
    // failure rolls it back. Inside a batch, body runs in a savepoint of the batch instead.
    Status writeTransaction(std::string& detail, const std::function<Status()>& body);
    // One write of a batch: a failed one is undone alone. SQLite ends the whole transaction by
    // itself on some errors (a full disk, I/O errors); the batch then fails, and so does every
    // later write of it, so that none is stored on its own outside it.
    Status batchStep(std::string& detail, const std::function<Status()>& body);
    // The id of the key at the folded path, 0 for the hive's root, -1 when absent.
    long long lookup(const std::vector<std::string>& folded, int& rc);
    long long child(long long parent, const std::string& folded, int& rc);
    // While a key of the hive is open, its reads share one read transaction: every transaction
    // on a rollback-journal file pays for taking the lock and looking at the journal.
    void beginRead();
    void endRead();
    void keyClosed();
    bool inWriteBatch() const { return batchDepth_ > 0 && batchKind_ == BatchKind::Write; }
    bool inReadBatch() const { return batchDepth_ > 0 && batchKind_ == BatchKind::Read; }
    int exec(const char* sql);
    void keyOpened() { ++openKeys_; }
    int openKeys() const { return openKeys_; }

    struct Statements {
        Statement beginRead, commitRead, findChild, keyExists, insertKey, selectValue, upsertValue,
            valueAt, valueAfter, deleteValue, childAt, childAfter, countChildren, deleteKeyValues,
            deleteKey;
    };
    std::unique_ptr<Statements> statements_;
    sqlite3* db_ = nullptr;

private:
    Status openFile(std::string& detail);
    // The hive's folder, created when missing: mkdir does not follow a link planted in its
    // place, and lstat then makes sure that what is there is a folder. "" when it is.
    std::string makeFolder() const;
    bool hasSqliteHeader() const;
    int pragma(const char* name, int& value);
    Status checkSchema(std::string& detail);
    Status createSchema(std::string& detail);
    Status refold(std::string& detail);
    Status prepareStatements(std::string& detail);

    std::string path_;
    bool shared_;
    bool tried_ = false;
    bool readOnly_ = false;
    bool reading_ = false;
    bool writing_ = false;
    bool batchFailed_ = false;
    int batchDepth_ = 0;
    BatchKind batchKind_ = BatchKind::Write;
    std::chrono::steady_clock::time_point readSince_;
    std::map<std::string, long long> foundInBatch_;
    int openKeys_ = 0;
    Status openStatus_ = kSuccess;
    std::string problem_;
};

} // namespace platform
