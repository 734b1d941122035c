#include "platform/linux/sqlite_settings_store.h"

#include "platform/case_folding.h"
#include "platform/linux/hive_file.h"
#include "platform/linux/hive_schema.h"
#include "platform/linux/store_messages.h"
#include "platform/store_deadline.h"
#include "platform/store_text.h"

#include <sqlite3.h>
#include <vector>

// The store's keys and values on its hive files.
namespace platform {

namespace {

std::vector<std::string> FoldAll(const std::vector<std::string>& names) {
    std::vector<std::string> folded;
    for (const auto& name : names) {
        folded.push_back(FoldCase(name));
    }
    return folded;
}

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

long long HiveFile::lookup(const std::vector<std::string>& folded, int& rc) {
    // Nothing changes during a read batch, so the keys found in it are remembered: a Load
    // opens the same few paths thousands of times.
    std::string joined;
    if (inReadBatch()) {
        for (const auto& part : folded) {
            joined += part;
            joined += '\\';
        }
        if (const auto it = foundInBatch_.find(joined); it != foundInBatch_.end()) {
            rc = SQLITE_OK;
            return it->second;
        }
    }
    long long id = 0;
    for (const auto& part : folded) {
        id = child(id, part, rc);
        if (id < 0) {
            return id;
        }
    }
    if (inReadBatch()) {
        foundInBatch_.emplace(std::move(joined), id);
    }
    return id;
}

long long HiveFile::child(long long parent, const std::string& folded, int& rc) {
    Use use(statements_->findChild);
    use->bind(1, parent).bind(2, folded);
    rc = use->step();
    if (rc == SQLITE_ROW) {
        const long long id = use->number(0);
        if (id == 0) {
            // Walking into the root again would never end.
            NoteKeyCycle();
            rc = SQLITE_CORRUPT;
            return -1;
        }
        rc = SQLITE_OK;
        return id;
    }
    if (rc == SQLITE_DONE) {
        rc = SQLITE_OK;
    }
    return -1;
}

SqliteSettingsStore::SqliteSettingsStore(std::string userHivePath, std::string machineHivePath)
    : user_(std::make_unique<HiveFile>(std::move(userHivePath), false))
    , machine_(std::make_unique<HiveFile>(std::move(machineHivePath), true)) {}

SqliteSettingsStore::~SqliteSettingsStore() = default;

HiveFile& SqliteSettingsStore::file(Hive hive) {
    return hive == Hive::User ? *user_ : *machine_;
}

Status SqliteSettingsStore::checkHive(Hive hive) {
    const StoreDeadline deadline;
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
    handles_.emplace(key, OpenKey{hive, id, {}, {}});
    return key;
}

const SqliteSettingsStore::OpenKey* SqliteSettingsStore::handle(KeyHandle key) const {
    const auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

Status SqliteSettingsStore::refusedArgument(KeyHandle key) const {
    return handle(key) ? kInvalidParameter : kInvalidHandle;
}

Status SqliteSettingsStore::createKey(Hive hive, const std::string& path, bool, KeyHandle& key) {
    const StoreDeadline deadline;
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
    if (hf.inWriteBatch()) {
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
    const StoreDeadline deadline;
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
    const StoreDeadline deadline;
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
    if (!IsKeyName(name)) {
        return refusedArgument(parent);
    }
    return readKey(parent, [&](auto& hf, const OpenKey& from, std::string& detail) {
        int rc = SQLITE_OK;
        const long long id = hf.child(from.id, FoldCase(name), rc);
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
    // A name that is no UTF-8 is no name any store could hold.
    if (!Utf16Units(name)) {
        return refusedArgument(key);
    }
    return readKey(key, [&](auto& hf, const OpenKey& from, std::string& detail) {
        Use select(hf.statements_->selectValue);
        select->bind(1, from.id).bind(2, FoldCase(name));
        const int rc = select->step();
        if (rc == SQLITE_DONE) {
            return kFileNotFound;
        }
        if (rc != SQLITE_ROW) {
            return hf.sqliteFailure(rc, detail);
        }
        auto data = select->text(0);
        if (!FitsBuffer(data, bufferUnits)) {
            return kMoreData;
        }
        value = std::move(data);
        return kSuccess;
    });
}

template <typename Body> Status SqliteSettingsStore::writeKey(KeyHandle key, Body body) {
    const StoreDeadline deadline;
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
        return refusedArgument(key);
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
        upsert->bind(1, id).bind(2, name).bind(3, FoldCase(name)).bind(4, value);
        rc = upsert->step();
        return rc == SQLITE_DONE ? kSuccess : hf.sqliteFailure(rc, detail);
    });
}

Status SqliteSettingsStore::listedName(KeyHandle key, std::size_t index, bool values,
                                       std::size_t nameUnits, std::size_t dataUnits,
                                       std::string& name) {
    const auto it = handles_.find(key);
    return readKey(key, [&](auto& hf, const OpenKey& from, std::string& detail) {
        Cursor& cursor = values ? it->second.values : it->second.subKeys;
        auto& s = *hf.statements_;
        const bool seek = cursor.valid && index == cursor.next && index > 0;
        Use row(seek ? (values ? s.valueAfter : s.childAfter) : (values ? s.valueAt : s.childAt));
        row->bind(1, from.id);
        if (seek) {
            row->bind(2, cursor.after);
        } else {
            row->bind(2, static_cast<long long>(index));
        }
        cursor.valid = false;
        const int rc = row->step();
        if (rc == SQLITE_DONE) {
            return kNoMoreItems;
        }
        if (rc != SQLITE_ROW) {
            return hf.sqliteFailure(rc, detail);
        }
        cursor = {true, index + 1, row->text(2)};
        auto found = row->text(0);
        if (!FitsBuffer(found, nameUnits) || (values && !FitsBuffer(row->text(1), dataUnits))) {
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
        remove->bind(1, id).bind(2, FoldCase(name));
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
    if (!IsKeyName(name)) {
        return refusedArgument(key);
    }
    return writeKey(key, [&](auto& hf, long long parent, std::string& detail) {
        int rc = SQLITE_OK;
        const long long id = hf.child(parent, FoldCase(name), rc);
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
    const StoreDeadline deadline;
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

Status SqliteSettingsStore::beginBatch(Hive hive, BatchKind kind) {
    const StoreDeadline deadline;
    std::string detail;
    return fail(file(hive).beginBatch(kind, detail), detail);
}

Status SqliteSettingsStore::endBatch(Hive hive) {
    const StoreDeadline deadline;
    std::string detail;
    return fail(file(hive).endBatch(detail), detail);
}

Status SqliteSettingsStore::cancelBatch(Hive hive) {
    const StoreDeadline deadline;
    HiveFile& hf = file(hive);
    std::string detail;
    const Status status = hf.endBatch(detail, false);
    return status == kRegistryIoFailed ? kSuccess : fail(status, detail);
}

} // namespace platform
