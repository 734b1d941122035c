#pragma once

#include "platform/settings_store.h"

#include <memory>
#include <string>

namespace platform {

// The settings store on Windows: the registry itself, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
// Status codes are the registry's own. The registry has no transactions: a batch is a no-op, so
// the values of one save become visible to others one by one.
class RegistrySettingsStore final : public SettingsStore {
public:
    // base, when given, is a key path that both hives' paths start below, so tests can keep to a
    // key of their own.
    explicit RegistrySettingsStore(std::string base = {});
    ~RegistrySettingsStore() override;

    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

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
    // No-ops: each write is stored, and seen by others, on its own.
    Status beginBatch(Hive hive, BatchKind kind) override;
    Status endBatch(Hive hive) override;
    Status cancelBatch(Hive hive) override;

private:
    std::string fullPath(const std::string& path) const;

    // The open access list for machine-hive keys, built once the toolkit asks for it.
    struct Descriptor;

    std::string base_;
    std::unique_ptr<Descriptor> descriptor_;
    bool descriptorReady_ = false;
};

} // namespace platform
