#pragma once

#include "platform/settings_store.h"

#include <set>
#include <string>

namespace vemlo {

// Stands in for the toolkit's store while a write batch that could not begin lives: every write
// to that hive fails at once with the batch's cause, so that nothing of it is stored one write
// at a time outside a batch. Reads and the other hive go on as usual.
class RefusedWrites final : public platform::SettingsStore {
public:
    RefusedWrites(platform::Hive hive, platform::Status cause);
    ~RefusedWrites() override;
    RefusedWrites(const RefusedWrites&) = delete;
    RefusedWrites& operator=(const RefusedWrites&) = delete;

    platform::Status createKey(platform::Hive hive, const std::string& path, bool openAccess,
                               platform::KeyHandle& key) override;
    platform::Status openKey(platform::Hive hive, const std::string& path,
                             platform::KeyHandle& key) override;
    platform::Status openSubKey(platform::KeyHandle parent, const std::string& name,
                                platform::KeyHandle& key) override;
    platform::Status queryValue(platform::KeyHandle key, const std::string& name,
                                std::size_t bufferUnits, std::string& value) override;
    platform::Status setValue(platform::KeyHandle key, const std::string& name,
                              const std::string& value) override;
    platform::Status enumValue(platform::KeyHandle key, std::size_t index, std::size_t nameUnits,
                               std::size_t dataBytes, std::string& name) override;
    platform::Status deleteValue(platform::KeyHandle key, const std::string& name) override;
    platform::Status enumSubKey(platform::KeyHandle key, std::size_t index, std::size_t nameUnits,
                                std::string& name) override;
    platform::Status deleteSubKey(platform::KeyHandle key, const std::string& name) override;
    void closeKey(platform::KeyHandle key) override;
    platform::Status initializeSecurityDescriptor() override;
    platform::Status setSecurityDescriptorDacl() override;
    std::string messageFor(platform::Status status) const override;
    std::string userMessageFor(platform::Status status) const override;
    platform::Status beginBatch(platform::Hive hive, platform::BatchKind kind) override;
    platform::Status endBatch(platform::Hive hive) override;
    platform::Status cancelBatch(platform::Hive hive) override;

private:
    // Whether a write through the key is refused: it was opened here, on the refused hive.
    bool refused(platform::KeyHandle key) const;
    platform::Status opened(platform::Status status, bool onRefusedHive, platform::KeyHandle key);

    platform::SettingsStore& store_;
    platform::Hive hive_;
    platform::Status cause_;
    std::string message_;
    std::string userMessage_;
    std::set<platform::KeyHandle> keys_;
};

} // namespace vemlo
