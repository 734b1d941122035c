#include "platform/case_folding.h"
#include "platform/linux/hive_deadline.h"
#include "platform/linux/hive_file.h"
#include "platform/linux/hive_header.h"
#include "platform/linux/hive_schema.h"
#include "platform/linux/hive_sharing.h"
#include "platform/linux/hive_vfs.h"
#include "platform/linux/store_messages.h"
#include "platform/store_deadline.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Opening a hive file: the checks of the folder and the file, and the schema.
namespace platform {

namespace {

// "VLRG" in the file header's application id; the schema version goes into user_version.
constexpr int kApplicationId = 0x564C5247;
// Version 1 folded names with the folding of whatever Qt was installed; version 2 with FoldCase.
constexpr int kSchemaVersion = 2;
constexpr int kFirstSchemaVersion = 1;
constexpr int kOpenAttempts = 2;

// vemlo_fold(name) in SQL: the store's folding, for converting files of an earlier version.
void FoldFunction(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const auto folded = FoldCase(
        text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(values[0])))
             : std::string_view());
    sqlite3_result_text(context, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

// The tables and tags of a new store, in the transaction the caller has begun.
int WriteSchema(sqlite3* db) {
    int rc = sqlite3_exec(db, kHiveSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        const std::string tag = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                "; PRAGMA user_version=" + std::to_string(kSchemaVersion);
        rc = sqlite3_exec(db, tag.c_str(), nullptr, nullptr, nullptr);
    }
    return rc;
}

// A new hive's file, complete with its schema before it gets the hive's name; nobody else sees
// it yet, so it needs no journal.
std::string MakeStoreFile(const std::string& file) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW,
                             HiveVfsName());
    for (const char* sql : {"PRAGMA journal_mode=OFF", "BEGIN"}) {
        if (rc == SQLITE_OK) {
            rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        }
    }
    if (rc == SQLITE_OK) {
        rc = WriteSchema(db);
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
    return rc == SQLITE_OK ? std::string() : sqlite3_errstr(rc);
}

} // namespace

HiveFile::HiveFile(std::string path, bool shared)
    : path_(std::move(path))
    , shared_(shared) {}

HiveFile::~HiveFile() {
    statements_.reset();
    sqlite3_close_v2(db_);
}

Status HiveFile::open(std::string& detail) {
    if (!tried_ || openStatus_ == kBusy) {
        tried_ = true;
        openStatus_ = openFile(problem_);
    }
    detail = problem_;
    return openStatus_;
}

Status HiveFile::writable(std::string& detail) {
    if (const Status status = open(detail)) {
        return status;
    }
    if (readOnly_) {
        detail = About(path_, "cannot be written.");
        return kAccessDenied;
    }
    return kSuccess;
}

Status HiveFile::problem(std::string& detail) {
    if (const Status status = writable(detail)) {
        return status;
    }
    if (writing_) {
        return kSuccess;
    }
    endRead();
    int rc = exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) {
        rc = exec("INSERT INTO keys(parent, name, folded) VALUES(-1, '', '')");
        exec("ROLLBACK");
    }
    if (rc == SQLITE_OK) {
        return kSuccess;
    }
    const auto refused = TakeHiveVfsProblem();
    const Status status = sqliteFailure(rc, detail);
    if (!refused.empty()) {
        detail = refused;
        return kAccessDenied;
    }
    if (status != kBusy) {
        detail = About(path_, std::string("cannot be written: ") + sqlite3_errstr(rc) + ".");
        return kAccessDenied;
    }
    return status;
}

Status HiveFile::openFile(std::string& detail) {
    statements_.reset();
    sqlite3_close_v2(db_);
    db_ = nullptr;
    const auto fail = [&](Status status, const std::string& why) {
        detail = About(path_, why);
        return status;
    };
    if (const auto problem = makeFolder(); !problem.empty()) {
        return fail(kAccessDenied, problem);
    }
    // Nothing planted in a shared folder may redirect the file: no link is followed, and the
    // modes are set on what was opened.
    const HiveFolder folder = FolderOf(path_);
    if (const auto problem = UseOrCreateHive(path_, folder, shared_ ? 0666 : 0600, MakeStoreFile);
        !problem.empty()) {
        return fail(problem.find("not a regular file") != std::string::npos ? kBadDatabase
                                                                            : kAccessDenied,
                    problem);
    }
    struct stat info {};
    if (::lstat(path_.c_str(), &info) == 0 && info.st_size > 0 && !hasSqliteHeader()) {
        return fail(kBadDatabase, "is not a store: unknown file format.");
    }
    if (::access(path_.c_str(), R_OK) != 0) {
        return fail(kAccessDenied, std::string("cannot be read: ") + std::strerror(errno) + ".");
    }
    int rc = sqlite3_open_v2(path_.c_str(), &db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW,
                             HiveVfsName());
    if (rc != SQLITE_OK) {
        return fail(kAccessDenied, std::string("cannot be opened: ") + sqlite3_errstr(rc) + ".");
    }
    DefendConnection(db_);
    BoundByDeadline(db_);
    if (folder.shared && UsesWal(path_)) {
        if (detail = WalRefusal(path_, folder); !detail.empty()) {
            return kAccessDenied;
        }
        if (const auto why = LeaveWal(db_); !why.empty()) {
            detail = TakeHiveVfsProblem();
            if (detail.empty()) {
                detail = About(path_, "cannot leave WAL mode: " + why + ".");
            }
            return kAccessDenied;
        }
    }
    readOnly_ = sqlite3_db_readonly(db_, "main") == 1 || ::access(path_.c_str(), W_OK) != 0;
    sqlite3_create_function_v2(db_, "vemlo_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               FoldFunction, nullptr, nullptr, nullptr);
    exec("PRAGMA journal_mode=TRUNCATE");
    exec("PRAGMA synchronous=FULL");
    for (int attempt = 1;; ++attempt) {
        const Status status = checkSchema(detail);
        if (status != kBusy || attempt == kOpenAttempts || StoreDeadline::Passed()) {
            return status == kSuccess ? prepareStatements(detail) : status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
    }
}

std::string HiveFile::makeFolder() const {
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    if (folder.empty()) {
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(folder.parent_path(), ec);
    // Shared: every user may add files, nobody may remove another's.
    const mode_t mode = shared_ ? 01777 : 0700;
    if (::mkdir(folder.c_str(), mode) == 0) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            ::fchmod(fd, mode);
            ::close(fd);
        }
    } else if (errno != EEXIST) {
        return "cannot be created: folder '" + folder.string() + "': " + std::strerror(errno) + ".";
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return "cannot be used: '" + folder.string() +
               "' is not a folder (it may be a symbolic link).";
    }
    return {};
}

bool HiveFile::hasSqliteHeader() const {
    return HasStoreHeader(path_);
}

int HiveFile::pragma(const char* name, int& value) {
    Statement statement;
    int rc = statement.prepare(db_, name);
    if (rc == SQLITE_OK) {
        rc = statement.step();
        if (rc == SQLITE_ROW) {
            value = static_cast<int>(statement.number(0));
            rc = SQLITE_OK;
        }
    }
    return rc;
}

Status HiveFile::checkSchema(std::string& detail) {
    int applicationId = 0;
    int version = 0;
    int tables = 0;
    // One read transaction: a process creating the schema meanwhile is seen whole or not.
    int rc = exec("BEGIN");
    if (rc == SQLITE_OK) {
        rc = pragma("PRAGMA application_id", applicationId);
    }
    if (rc == SQLITE_OK) {
        rc = pragma("PRAGMA user_version", version);
    }
    if (rc == SQLITE_OK) {
        rc = pragma("SELECT count(*) FROM sqlite_schema", tables);
    }
    if (!sqlite3_get_autocommit(db_)) {
        exec("COMMIT");
    }
    if (rc != SQLITE_OK) {
        const Status status = sqliteFailure(rc, detail);
        if (status == kBadDatabase) {
            detail = About(path_, std::string("is not a store: ") + sqlite3_errstr(rc) + ".");
        }
        return status;
    }
    if (applicationId == 0 && version == 0 && tables == 0) {
        return readOnly_ ? kSuccess : createSchema(detail);
    }
    if (applicationId != kApplicationId || version < kFirstSchemaVersion ||
        version > kSchemaVersion) {
        detail = About(path_, "is not a store: it belongs to another program or schema version.");
        return kBadDatabase;
    }
    // No scan of the whole file: SQLite reports damage where it meets it, as SQLITE_CORRUPT.
    if (const auto foreign = ForeignSchemaObject(db_, rc); rc != SQLITE_OK || !foreign.empty()) {
        const Status status = rc == SQLITE_OK ? kBadDatabase : sqliteFailure(rc, detail);
        if (status == kBadDatabase) {
            detail = About(path_, "is not a store: it holds what no store holds (" +
                                      (foreign.empty() ? sqlite3_errstr(rc) : foreign) + ").");
        }
        return status;
    }
    return version < kSchemaVersion && !readOnly_ ? refold(detail) : kSuccess;
}

// The names of an earlier version are folded again, all in one transaction, the first time the
// file is opened for writing.
Status HiveFile::refold(std::string& detail) {
    int rc = exec("BEGIN IMMEDIATE");
    int version = 0;
    if (rc == SQLITE_OK) {
        rc = pragma("PRAGMA user_version", version);
    }
    if (rc == SQLITE_OK && version < kSchemaVersion) {
        const std::string sql = "UPDATE keys SET folded = vemlo_fold(name);"
                                "UPDATE vals SET folded = vemlo_fold(name);"
                                "PRAGMA user_version=" +
                                std::to_string(kSchemaVersion);
        rc = exec(sql.c_str());
    }
    if (rc == SQLITE_OK) {
        rc = exec("COMMIT");
    }
    if (rc != SQLITE_OK) {
        const Status status = sqliteFailure(rc, detail);
        rollbackWrite();
        if (status != kBusy) {
            detail = About(path_, std::string("cannot be converted to the current version: ") +
                                      sqlite3_errstr(rc) + ".");
        }
        return status;
    }
    return kSuccess;
}

Status HiveFile::createSchema(std::string& detail) {
    int rc = exec("BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) {
        return sqliteFailure(rc, detail);
    }
    // Another process may have set the store up since the check above.
    int tables = 0;
    rc = pragma("SELECT count(*) FROM sqlite_schema", tables);
    if (rc == SQLITE_OK && tables == 0) {
        rc = WriteSchema(db_);
    }
    if (rc == SQLITE_OK) {
        rc = exec("COMMIT");
    }
    if (rc != SQLITE_OK) {
        exec("ROLLBACK");
        return sqliteFailure(rc, detail);
    }
    return tables == 0 ? kSuccess : checkSchema(detail);
}

Status HiveFile::prepareStatements(std::string& detail) {
    if (readOnly_) {
        int tables = 0;
        if (pragma("SELECT count(*) FROM sqlite_schema", tables) == SQLITE_OK && tables == 0) {
            detail = About(path_, "is empty and cannot be written.");
            return kAccessDenied;
        }
    }
    statements_ = std::make_unique<Statements>();
    auto& s = *statements_;
    const std::pair<Statement*, const char*> all[] = {
        {&s.beginRead, "BEGIN"},
        {&s.commitRead, "COMMIT"},
        {&s.findChild, "SELECT id FROM keys WHERE parent=?1 AND folded=?2"},
        {&s.keyExists, "SELECT 1 FROM keys WHERE id=?1"},
        {&s.insertKey, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)"},
        {&s.selectValue, "SELECT data FROM vals WHERE key=?1 AND folded=?2"},
        {&s.upsertValue, "INSERT INTO vals(key, name, folded, data) VALUES(?1, ?2, ?3, ?4) "
                         "ON CONFLICT(key, folded) DO UPDATE SET data=excluded.data"},
        {&s.valueAt,
         "SELECT name, data, folded FROM vals WHERE key=?1 ORDER BY folded LIMIT 1 OFFSET ?2"},
        {&s.valueAfter, "SELECT name, data, folded FROM vals WHERE key=?1 AND folded>?2 "
                        "ORDER BY folded LIMIT 1"},
        {&s.deleteValue, "DELETE FROM vals WHERE key=?1 AND folded=?2"},
        {&s.childAt,
         "SELECT name, '', folded FROM keys WHERE parent=?1 ORDER BY folded LIMIT 1 OFFSET ?2"},
        {&s.childAfter, "SELECT name, '', folded FROM keys WHERE parent=?1 AND folded>?2 "
                        "ORDER BY folded LIMIT 1"},
        {&s.countChildren, "SELECT count(*) FROM keys WHERE parent=?1"},
        {&s.deleteKeyValues, "DELETE FROM vals WHERE key=?1"},
        {&s.deleteKey, "DELETE FROM keys WHERE id=?1"},
    };
    for (const auto& [statement, sql] : all) {
        statement->define(db_, sql);
    }
    return kSuccess;
}

} // namespace platform
