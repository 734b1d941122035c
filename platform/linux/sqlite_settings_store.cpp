#include "platform/linux/sqlite_settings_store.h"

#include "platform/linux/hive_vfs.h"
#include "platform/linux/store_messages.h"
#include "platform/store_text.h"

#include <QString>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// "VLRG" in the file header's application id; the schema version goes into user_version.
constexpr int kApplicationId = 0x564C5247;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 5000;
constexpr int kOpenAttempts = 2;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL);
CREATE UNIQUE INDEX keys_by_name ON keys(parent, folded);
CREATE TABLE vals(
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    data TEXT NOT NULL,
    PRIMARY KEY(key, folded)) WITHOUT ROWID;
)sql";

// Names compare by their Unicode case folding; the name is kept as written beside it.
std::string Fold(const std::string& name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
        .toCaseFolded()
        .toUtf8()
        .toStdString();
}

std::vector<std::string> FoldAll(const std::vector<std::string>& names) {
    std::vector<std::string> folded;
    for (const auto& name : names) {
        folded.push_back(Fold(name));
    }
    return folded;
}

bool FitsUnits(const std::string& text, std::size_t units) {
    return Utf16Units(text).value_or(units) + 1 <= units;
}

// A prepared statement, reset after each use so it holds no read lock between calls.
class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt_); }

    int prepare(sqlite3* db, const char* sql) {
        return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    }
    Statement& bind(int index, long long number) {
        sqlite3_bind_int64(stmt_, index, number);
        return *this;
    }
    Statement& bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return sqlite3_step(stmt_); }
    long long number(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return data ? std::string(data,
                                  static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement when the scope ends, whatever path leaves it.
class Use {
public:
    explicit Use(Statement& statement)
        : statement_(statement) {}
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    ~Use() { statement_.reset(); }
    Statement* operator->() { return &statement_; }

private:
    Statement& statement_;
};

} // namespace

class SqliteSettingsStore::HiveFile {
public:
    HiveFile(std::string path, bool shared)
        : path_(std::move(path))
        , shared_(shared) {}
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;
    ~HiveFile() {
        statements_.reset();
        sqlite3_close_v2(db_);
    }

    const std::string& path() const { return path_; }

    // Opens the file once; afterwards the outcome of that open, unless it found the file busy,
    // which is tried again on the next call.
    Status open(std::string& detail) {
        if (!tried_ || openStatus_ == kBusy) {
            tried_ = true;
            openStatus_ = openFile(problem_);
        }
        detail = problem_;
        return openStatus_;
    }

    Status writable(std::string& detail) {
        if (const Status status = open(detail)) {
            return status;
        }
        if (readOnly_) {
            detail = About(path_, "cannot be written.");
            return kAccessDenied;
        }
        return kSuccess;
    }

    // What a real write would meet: a write transaction that changes a page, so that the journal
    // is created, then rolled back.
    Status problem(std::string& detail) {
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
        const Status status = sqliteFailure(rc, detail);
        if (status != kBusy) {
            detail = About(path_, std::string("cannot be written: ") + sqlite3_errstr(rc) + ".");
            return kAccessDenied;
        }
        return status;
    }

    // Maps an SQLite result to a status, with a detail that names the file.
    Status sqliteFailure(int rc, std::string& detail) const {
        detail = TakeHiveVfsProblem();
        if (detail.empty()) {
            detail = About(path_, std::string("failed: ") + sqlite3_errstr(rc) + ".");
        }
        switch (rc & 0xFF) {
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

    // A write transaction: BEGIN IMMEDIATE takes the write lock before anything is read, so two
    // writers wait for each other instead of failing at once.
    Status beginWrite(std::string& detail) {
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
    Status commitWrite(std::string& detail) {
        writing_ = false;
        if (const int rc = exec("COMMIT"); rc != SQLITE_OK) {
            const Status status = sqliteFailure(rc, detail);
            rollbackWrite();
            return status;
        }
        return kSuccess;
    }
    void rollbackWrite() {
        writing_ = false;
        if (!sqlite3_get_autocommit(db_)) {
            exec("ROLLBACK");
        }
    }

    Status beginBatch(std::string& detail) {
        if (batchDepth_ == 0) {
            if (const Status status = beginWrite(detail)) {
                return status;
            }
            batchFailed_ = false;
        }
        ++batchDepth_;
        return kSuccess;
    }
    Status endBatch(std::string& detail) {
        if (batchDepth_ == 0) {
            return kInvalidParameter;
        }
        if (--batchDepth_ > 0) {
            return kSuccess;
        }
        if (batchFailed_ || !writing_ || sqlite3_get_autocommit(db_)) {
            rollbackWrite();
            detail = About(path_, "was not changed: the batch of writes was rolled back.");
            return kRegistryIoFailed;
        }
        return commitWrite(detail);
    }
    bool inBatch() const { return batchDepth_ > 0; }

    // Runs body in a write transaction (the one already begun, if any) and commits it; any
    // failure rolls it back. Inside a batch, body runs in a savepoint of the batch instead.
    template <typename Body> Status writeTransaction(std::string& detail, Body body) {
        if (inBatch()) {
            return batchStep(detail, body);
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

    // One write of a batch: a failed one is undone alone. SQLite ends the whole transaction by
    // itself on some errors (a full disk, I/O errors); the batch then fails, and so does every
    // later write of it, so that none is stored on its own outside it.
    template <typename Body> Status batchStep(std::string& detail, Body body) {
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

    // The id of the key at the folded path, 0 for the hive's root, -1 when absent.
    long long lookup(const std::vector<std::string>& folded, int& rc) {
        long long id = 0;
        for (const auto& part : folded) {
            id = child(id, part, rc);
            if (id < 0) {
                return id;
            }
        }
        return id;
    }

    long long child(long long parent, const std::string& folded, int& rc) {
        Use use(statements_->findChild);
        use->bind(1, parent).bind(2, folded);
        rc = use->step();
        if (rc == SQLITE_ROW) {
            rc = SQLITE_OK;
            return use->number(0);
        }
        if (rc == SQLITE_DONE) {
            rc = SQLITE_OK;
        }
        return -1;
    }

    int exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

    // While a key of the hive is open, its reads share one read transaction: every transaction
    // on a rollback-journal file pays for taking the lock and looking at the journal.
    void beginRead() {
        if (!reading_ && sqlite3_get_autocommit(db_)) {
            Use begin(statements_->beginRead);
            reading_ = begin->step() == SQLITE_DONE;
        }
    }
    void endRead() {
        if (reading_) {
            Use commit(statements_->commitRead);
            commit->step();
            reading_ = false;
        }
    }
    void keyOpened() { ++openKeys_; }
    void keyClosed() {
        if (--openKeys_ == 0) {
            endRead();
            // A transaction left open by createKey holds no changes.
            if (writing_ && !inBatch()) {
                std::string ignored;
                commitWrite(ignored);
            }
        }
    }
    int openKeys() const { return openKeys_; }

    struct Statements {
        Statement beginRead, commitRead, findChild, keyExists, insertKey, selectValue, upsertValue,
            valueAt, deleteValue, childAt, countChildren, deleteKeyValues, deleteKey;
    };
    std::unique_ptr<Statements> statements_;
    sqlite3* db_ = nullptr;

private:
    Status openFile(std::string& detail) {
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
        const mode_t mode = shared_ ? 0666 : 0600;
        const int fd =
            ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            ::fchmod(fd, mode); // whatever the umask
            ::close(fd);
        } else if (errno != EEXIST) {
            return fail(kAccessDenied,
                        std::string("cannot be created: ") + std::strerror(errno) + ".");
        }
        struct stat info {};
        if (::lstat(path_.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            return fail(kBadDatabase, "is not a store: not a regular file.");
        }
        if (info.st_size > 0 && !hasSqliteHeader()) {
            return fail(kBadDatabase, "is not a store: unknown file format.");
        }
        if (::access(path_.c_str(), R_OK) != 0) {
            return fail(kAccessDenied,
                        std::string("cannot be read: ") + std::strerror(errno) + ".");
        }
        int rc = sqlite3_open_v2(path_.c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW,
                                 HiveVfsName());
        if (rc != SQLITE_OK) {
            return fail(kAccessDenied,
                        std::string("cannot be opened: ") + sqlite3_errstr(rc) + ".");
        }
        readOnly_ = sqlite3_db_readonly(db_, "main") == 1 || ::access(path_.c_str(), W_OK) != 0;
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        exec("PRAGMA journal_mode=TRUNCATE");
        exec("PRAGMA synchronous=FULL");
        for (int attempt = 1;; ++attempt) {
            const Status status = checkSchema(detail);
            if (status != kBusy || attempt == kOpenAttempts) {
                return status == kSuccess ? prepareStatements(detail) : status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
        }
    }

    // The hive's folder, created when missing: mkdir does not follow a link planted in its
    // place, and lstat then makes sure that what is there is a folder. "" when it is.
    std::string makeFolder() const {
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
            return "cannot be created: folder '" + folder.string() + "': " + std::strerror(errno) +
                   ".";
        }
        struct stat info {};
        if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return "cannot be used: '" + folder.string() +
                   "' is not a folder (it may be a symbolic link).";
        }
        return {};
    }

    bool hasSqliteHeader() const {
        static constexpr char kMagic[] = "SQLite format 3";
        char header[sizeof kMagic] = {};
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return true; // let the open below report the permission problem
        }
        const auto got = ::read(fd, header, sizeof header);
        ::close(fd);
        return got == static_cast<ssize_t>(sizeof header) &&
               std::memcmp(header, kMagic, sizeof kMagic) == 0;
    }

    int pragma(const char* name, int& value) {
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

    Status checkSchema(std::string& detail) {
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
        if (applicationId != kApplicationId || version != kSchemaVersion) {
            detail =
                About(path_, "is not a store: it belongs to another program or schema version.");
            return kBadDatabase;
        }
        std::string check;
        {
            Statement statement;
            rc = statement.prepare(db_, "PRAGMA quick_check");
            if (rc == SQLITE_OK && (rc = statement.step()) == SQLITE_ROW) {
                check = statement.text(0);
                rc = SQLITE_OK;
            }
        }
        if (rc != SQLITE_OK || check != "ok") {
            detail =
                About(path_, "is not a store: " +
                                 (rc != SQLITE_OK ? std::string(sqlite3_errstr(rc)) : check) + ".");
            return rc != SQLITE_OK && sqliteFailure(rc, check) == kBusy ? kBusy : kBadDatabase;
        }
        return kSuccess;
    }

    Status createSchema(std::string& detail) {
        int rc = exec("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) {
            return sqliteFailure(rc, detail);
        }
        // Another process may have set the store up since the check above.
        int tables = 0;
        rc = pragma("SELECT count(*) FROM sqlite_schema", tables);
        if (rc == SQLITE_OK && tables == 0) {
            rc = exec(kSchema);
            if (rc == SQLITE_OK) {
                const std::string tag = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                        "; PRAGMA user_version=" + std::to_string(kSchemaVersion);
                rc = exec(tag.c_str());
            }
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

    Status prepareStatements(std::string& detail) {
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
             "SELECT name, data FROM vals WHERE key=?1 ORDER BY folded LIMIT 1 OFFSET ?2"},
            {&s.deleteValue, "DELETE FROM vals WHERE key=?1 AND folded=?2"},
            {&s.childAt, "SELECT name FROM keys WHERE parent=?1 ORDER BY folded LIMIT 1 OFFSET ?2"},
            {&s.countChildren, "SELECT count(*) FROM keys WHERE parent=?1"},
            {&s.deleteKeyValues, "DELETE FROM vals WHERE key=?1"},
            {&s.deleteKey, "DELETE FROM keys WHERE id=?1"},
        };
        for (const auto& [statement, sql] : all) {
            if (const int rc = statement->prepare(db_, sql); rc != SQLITE_OK) {
                statements_.reset();
                return sqliteFailure(rc, detail);
            }
        }
        return kSuccess;
    }

    std::string path_;
    bool shared_;
    bool tried_ = false;
    bool readOnly_ = false;
    bool reading_ = false;
    bool writing_ = false;
    bool batchFailed_ = false;
    int batchDepth_ = 0;
    int openKeys_ = 0;
    Status openStatus_ = kSuccess;
    std::string problem_;
};

namespace {

// A read that ends its transaction unless a key of the hive stays open after it.
template <typename File> class ReadScope {
public:
    explicit ReadScope(File& file)
        : file_(file) {
        file_.beginRead();
    }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;
    ~ReadScope() {
        if (file_.openKeys() == 0) {
            file_.endRead();
        }
    }

private:
    File& file_;
};

} // namespace

SqliteSettingsStore::SqliteSettingsStore(std::string userHivePath, std::string machineHivePath)
    : user_(std::make_unique<HiveFile>(std::move(userHivePath), false))
    , machine_(std::make_unique<HiveFile>(std::move(machineHivePath), true)) {}

SqliteSettingsStore::~SqliteSettingsStore() = default;

SqliteSettingsStore::HiveFile& SqliteSettingsStore::file(Hive hive) {
    return hive == Hive::User ? *user_ : *machine_;
}

const std::string& SqliteSettingsStore::hivePath(Hive hive) const {
    return (hive == Hive::User ? user_ : machine_)->path();
}

Status SqliteSettingsStore::checkHive(Hive hive) {
    std::string detail;
    return fail(file(hive).problem(detail), detail);
}

std::string SqliteSettingsStore::hiveProblem(Hive hive) {
    const Status status = checkHive(hive);
    return status == kSuccess ? std::string() : messageFor(status);
}

std::string SqliteSettingsStore::hiveProblemForUser(Hive hive) {
    const Status status = checkHive(hive);
    return status == kSuccess ? std::string() : userMessageFor(status);
}

// Every failure replaces the detail, so a message never tells of an earlier call.
Status SqliteSettingsStore::fail(Status status, const std::string& detail) const {
    if (status != kSuccess) {
        detailStatus_ = status;
        detail_ = detail;
    }
    return status;
}

KeyHandle SqliteSettingsStore::newHandle(Hive hive, long long id) {
    file(hive).keyOpened();
    const KeyHandle key = nextHandle_++;
    handles_.emplace(key, OpenKey{hive, id});
    return key;
}

const SqliteSettingsStore::OpenKey* SqliteSettingsStore::handle(KeyHandle key) const {
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

Status SqliteSettingsStore::createKey(Hive hive, const std::string& path, bool, KeyHandle& key) {
    key = 0;
    if (!IsCreatableKeyPath(path)) {
        return fail(kInvalidParameter, {});
    }
    HiveFile& hf = file(hive);
    std::string detail;
    const auto names = SplitKeyPath(path);
    const auto folded = FoldAll(names);
    bool created = false;
    long long id = 0;
    const auto createPath = [&] {
        Status status = kSuccess;
        for (std::size_t i = 0; i < names.size() && status == kSuccess; ++i) {
            int rc = SQLITE_OK;
            const long long found = hf.child(id, folded[i], rc);
            if (rc != SQLITE_OK) {
                status = hf.sqliteFailure(rc, detail);
            } else if (found >= 0) {
                id = found;
            } else {
                Use insert(hf.statements_->insertKey);
                insert->bind(1, id).bind(2, names[i]).bind(3, folded[i]);
                if ((rc = insert->step()) == SQLITE_DONE) {
                    id = sqlite3_last_insert_rowid(hf.db_);
                    created = true;
                } else {
                    status = hf.sqliteFailure(rc, detail);
                }
            }
        }
        return status;
    };
    if (hf.inBatch()) {
        if (const Status status = hf.writeTransaction(detail, createPath)) {
            return fail(status, detail);
        }
        key = newHandle(hive, id);
        return kSuccess;
    }
    // When the key exists the transaction stays open for the value write that follows, so
    // storing a value takes one transaction.
    if (const Status status = hf.beginWrite(detail)) {
        return fail(status, detail);
    }
    Status status = createPath();
    if (status == kSuccess && created) {
        status = hf.commitWrite(detail);
    }
    if (status != kSuccess) {
        hf.rollbackWrite();
        return fail(status, detail);
    }
    key = newHandle(hive, id);
    return kSuccess;
}

Status SqliteSettingsStore::openKey(Hive hive, const std::string& path, KeyHandle& key) {
    key = 0;
    if (!IsValidKeyPath(path)) {
        return kInvalidParameter;
    }
    HiveFile& hf = file(hive);
    std::string detail;
    if (const Status status = hf.open(detail)) {
        return fail(status, detail);
    }
    ReadScope read(hf);
    const auto folded = FoldAll(SplitKeyPath(path));
    int rc = SQLITE_OK;
    const long long id = hf.lookup(folded, rc);
    if (rc != SQLITE_OK) {
        return fail(hf.sqliteFailure(rc, detail), detail);
    }
    if (id < 0) {
        return kFileNotFound;
    }
    key = newHandle(hive, id);
    return kSuccess;
}

template <typename Body> Status SqliteSettingsStore::readKey(KeyHandle key, Body body) {
    const OpenKey* open = handle(key);
    if (!open) {
        return kInvalidHandle;
    }
    const OpenKey from = *open;
    HiveFile& hf = file(from.hive);
    ReadScope read(hf);
    std::string detail;
    return fail(body(hf, from, detail), detail);
}

Status SqliteSettingsStore::openSubKey(KeyHandle parent, const std::string& name, KeyHandle& key) {
    key = 0;
    if (!IsValidKeyPath(name) || name.find('\\') != std::string::npos) {
        return handle(parent) ? kInvalidParameter : kInvalidHandle;
    }
    return readKey(parent, [&](auto& hf, const OpenKey& from, std::string& detail) {
        int rc = SQLITE_OK;
        const long long id = hf.child(from.id, Fold(name), rc);
        if (rc != SQLITE_OK) {
            return hf.sqliteFailure(rc, detail);
        }
        if (id < 0) {
            return kFileNotFound;
        }
        key = newHandle(from.hive, id);
        return kSuccess;
    });
}

Status SqliteSettingsStore::queryValue(KeyHandle key, const std::string& name,
                                       std::size_t bufferUnits, std::string& value) {
    return readKey(key, [&](auto& hf, const OpenKey& from, std::string& detail) {
        Use select(hf.statements_->selectValue);
        select->bind(1, from.id).bind(2, Fold(name));
        const int rc = select->step();
        if (rc == SQLITE_DONE) {
            return kFileNotFound;
        }
        if (rc != SQLITE_ROW) {
            return hf.sqliteFailure(rc, detail);
        }
        auto data = select->text(0);
        if (!FitsUnits(data, bufferUnits)) {
            return kMoreData;
        }
        value = std::move(data);
        return kSuccess;
    });
}

template <typename Body> Status SqliteSettingsStore::writeKey(KeyHandle key, Body body) {
    const OpenKey* open = handle(key);
    if (!open) {
        return kInvalidHandle;
    }
    const OpenKey target = *open;
    HiveFile& hf = file(target.hive);
    std::string detail;
    const Status status = hf.writeTransaction(detail, [&] { return body(hf, target.id, detail); });
    return fail(status, detail);
}

Status SqliteSettingsStore::setValue(KeyHandle key, const std::string& name,
                                     const std::string& value) {
    if (!IsStorableText(name) || !IsStorableText(value)) {
        return handle(key) ? kInvalidParameter : kInvalidHandle;
    }
    return writeKey(key, [&](auto& hf, long long id, std::string& detail) {
        int rc = SQLITE_OK;
        {
            Use exists(hf.statements_->keyExists);
            exists->bind(1, id);
            rc = exists->step();
        }
        if (rc == SQLITE_DONE) {
            return kKeyDeleted;
        }
        if (rc != SQLITE_ROW) {
            return hf.sqliteFailure(rc, detail);
        }
        Use upsert(hf.statements_->upsertValue);
        upsert->bind(1, id).bind(2, name).bind(3, Fold(name)).bind(4, value);
        rc = upsert->step();
        return rc == SQLITE_DONE ? kSuccess : hf.sqliteFailure(rc, detail);
    });
}

Status SqliteSettingsStore::listedName(KeyHandle key, std::size_t index, bool values,
                                       std::size_t nameUnits, std::size_t dataUnits,
                                       std::string& name) {
    return readKey(key, [&](auto& hf, const OpenKey& from, std::string& detail) {
        Use row(values ? hf.statements_->valueAt : hf.statements_->childAt);
        row->bind(1, from.id).bind(2, static_cast<long long>(index));
        const int rc = row->step();
        if (rc == SQLITE_DONE) {
            return kNoMoreItems;
        }
        if (rc != SQLITE_ROW) {
            return hf.sqliteFailure(rc, detail);
        }
        auto found = row->text(0);
        if (!FitsUnits(found, nameUnits) || (values && !FitsUnits(row->text(1), dataUnits))) {
            return kMoreData;
        }
        name = std::move(found);
        return kSuccess;
    });
}

Status SqliteSettingsStore::enumValue(KeyHandle key, std::size_t index, std::size_t nameUnits,
                                      std::size_t dataBytes, std::string& name) {
    return listedName(key, index, true, nameUnits, dataBytes / 2, name);
}

Status SqliteSettingsStore::deleteValue(KeyHandle key, const std::string& name) {
    return writeKey(key, [&](auto& hf, long long id, std::string& detail) {
        Use remove(hf.statements_->deleteValue);
        remove->bind(1, id).bind(2, Fold(name));
        const int rc = remove->step();
        if (rc != SQLITE_DONE) {
            return hf.sqliteFailure(rc, detail);
        }
        return sqlite3_changes(hf.db_) > 0 ? kSuccess : kFileNotFound;
    });
}

Status SqliteSettingsStore::enumSubKey(KeyHandle key, std::size_t index, std::size_t nameUnits,
                                       std::string& name) {
    return listedName(key, index, false, nameUnits, 0, name);
}

Status SqliteSettingsStore::deleteSubKey(KeyHandle key, const std::string& name) {
    return writeKey(key, [&](auto& hf, long long parent, std::string& detail) {
        int rc = SQLITE_OK;
        const long long id = hf.child(parent, Fold(name), rc);
        if (rc != SQLITE_OK) {
            return hf.sqliteFailure(rc, detail);
        }
        if (id < 0) {
            return kFileNotFound;
        }
        long long children = 0;
        {
            Use count(hf.statements_->countChildren);
            count->bind(1, id);
            if ((rc = count->step()) != SQLITE_ROW) {
                return hf.sqliteFailure(rc, detail);
            }
            children = count->number(0);
        }
        if (children > 0) {
            return kAccessDenied;
        }
        for (Statement* statement :
             {&hf.statements_->deleteKeyValues, &hf.statements_->deleteKey}) {
            Use remove(*statement);
            remove->bind(1, id);
            if ((rc = remove->step()) != SQLITE_DONE) {
                return hf.sqliteFailure(rc, detail);
            }
        }
        return kSuccess;
    });
}

void SqliteSettingsStore::closeKey(KeyHandle key) {
    const auto it = handles_.find(key);
    if (it != handles_.end()) {
        const Hive hive = it->second.hive;
        handles_.erase(it);
        file(hive).keyClosed();
    }
}

// The file's mode opens the machine hive to every user, so there is no access list to build.
Status SqliteSettingsStore::initializeSecurityDescriptor() {
    return kSuccess;
}

Status SqliteSettingsStore::setSecurityDescriptorDacl() {
    return kSuccess;
}

std::string SqliteSettingsStore::messageFor(Status status) const {
    return status == detailStatus_ && !detail_.empty() ? detail_ : StandardStatusMessage(status);
}

std::string SqliteSettingsStore::userMessageFor(Status status) const {
    return SwedishDetail(status == detailStatus_ ? detail_ : std::string(), status);
}

Status SqliteSettingsStore::beginBatch(Hive hive) {
    std::string detail;
    return fail(file(hive).beginBatch(detail), detail);
}

Status SqliteSettingsStore::endBatch(Hive hive) {
    std::string detail;
    return fail(file(hive).endBatch(detail), detail);
}

} // namespace platform
