#pragma once

#include "platform/settings_store.h"

#include <map>
#include <memory>
#include <string>

namespace platform {

class HiveFile;

// The settings store on Linux: one SQLite file per hive. Each call is one short transaction, so
// several processes (the tool, the service, administrators' scripts) can share a hive. A file
// that is not a store is never written: every call on its hive fails and names the file.
class SqliteSettingsStore final : public SettingsStore {
public:
    // The machine hive is shared: its file is made readable and writable by every user, in a
    // folder where nobody may remove another's file. The user hive is private to its owner.
    SqliteSettingsStore(std::string userHivePath, std::string machineHivePath);
    ~SqliteSettingsStore() override;

    SqliteSettingsStore(const SqliteSettingsStore&) = delete;
    SqliteSettingsStore& operator=(const SqliteSettingsStore&) = delete;

    // Opens the hive if needed and tries a write, rolled back; the English reason why it
    // cannot be used or written, or "".
    std::string hiveProblem(Hive hive);
    // The same for the user, in Swedish.
    std::string hiveProblemForUser(Hive hive) override;

    Status createKey(Hive hive, const std::string& path, bool openAccess, KeyHandle& key) override;
    Status openKey(Hive hive, const std::string& path, KeyHandle& key) override;
    Status openSubKey(KeyHandle parent, const std::string& name, KeyHandle& key) override;
    Status queryValue(KeyHandle key, const std::string& name, std::size_t bufferUnits,
                      std::string& value) override;
    Status setValue(KeyHandle key, const std::string& name, const std::string& value) override;
    Status enumValue(KeyHandle key, std::size_t index, std::size_t nameUnits, std::size_t dataBytes,
                     std::string& name) override;
    Status deleteValue(KeyHandle key, const std::string& name) override;
    Status enumSubKey(KeyHandle key, std::size_t index, std::size_t nameUnits,
                      std::string& name) override;
    Status deleteSubKey(KeyHandle key, const std::string& name) override;
    void closeKey(KeyHandle key) override;
    Status initializeSecurityDescriptor() override;
    Status setSecurityDescriptorDacl() override;
    std::string messageFor(Status status) const override;
    std::string userMessageFor(Status status) const override;
    Status beginBatch(Hive hive, BatchKind kind) override;
    Status endBatch(Hive hive) override;
    Status cancelBatch(Hive hive) override;

private:
    // Where the last listing of a key's values or sub-keys stopped: the next index is found by
    // seeking past that folded name instead of counting from the start.
    struct Cursor {
        bool valid = false;
        std::size_t next = 0;
        std::string after;
    };
    struct OpenKey {
        Hive hive;
        long long id;
        Cursor values;
        Cursor subKeys;
    };

    HiveFile& file(Hive hive);
    Status checkHive(Hive hive);
    KeyHandle newHandle(Hive hive, long long id);
    const OpenKey* handle(KeyHandle key) const;
    // A refused argument on a key: a bad parameter, or a bad handle when the key is not open.
    Status refusedArgument(KeyHandle key) const;
    Status fail(Status status, const std::string& detail) const;
    // Runs body(file, open key, detail) as a read of the open key's hive.
    template <typename Body> Status readKey(KeyHandle key, Body body);
    // Runs body(file, key id, detail) in a write transaction on the open key's hive.
    template <typename Body> Status writeKey(KeyHandle key, Body body);
    // The name at the index of a key's values or sub-keys, when it (and a value's data) fits.
    Status listedName(KeyHandle key, std::size_t index, bool values, std::size_t nameUnits,
                      std::size_t dataUnits, std::string& name);

    std::unique_ptr<HiveFile> user_;
    std::unique_ptr<HiveFile> machine_;
    std::map<KeyHandle, OpenKey> handles_;
    KeyHandle nextHandle_ = 1;
    mutable Status detailStatus_ = kSuccess;
    mutable std::string detail_;
};

} // namespace platform
