#pragma once

#include "platform/settings_store.h"

#include <string>

namespace testing_support {

// Forwards every call to another store; a test double overrides the calls it stands in for.
class ForwardingStore : public platform::SettingsStore {
public:
    explicit ForwardingStore(platform::SettingsStore& store)
        : store_(store) {}
    platform::Status createKey(platform::Hive h, const std::string& p, bool o,
                               platform::KeyHandle& k) override {
        return store_.createKey(h, p, o, k);
    }
    platform::Status openKey(platform::Hive h, const std::string& p,
                             platform::KeyHandle& k) override {
        return store_.openKey(h, p, k);
    }
    platform::Status openSubKey(platform::KeyHandle p, const std::string& n,
                                platform::KeyHandle& k) override {
        return store_.openSubKey(p, n, k);
    }
    platform::Status queryValue(platform::KeyHandle k, const std::string& n, std::size_t u,
                                std::string& v) override {
        return store_.queryValue(k, n, u, v);
    }
    platform::Status setValue(platform::KeyHandle k, const std::string& n,
                              const std::string& v) override {
        return store_.setValue(k, n, v);
    }
    platform::Status enumValue(platform::KeyHandle k, std::size_t i, std::size_t n, std::size_t d,
                               std::string& name) override {
        return store_.enumValue(k, i, n, d, name);
    }
    platform::Status deleteValue(platform::KeyHandle k, const std::string& n) override {
        return store_.deleteValue(k, n);
    }
    platform::Status enumSubKey(platform::KeyHandle k, std::size_t i, std::size_t n,
                                std::string& name) override {
        return store_.enumSubKey(k, i, n, name);
    }
    platform::Status deleteSubKey(platform::KeyHandle k, const std::string& n) override {
        return store_.deleteSubKey(k, n);
    }
    void closeKey(platform::KeyHandle k) override { store_.closeKey(k); }
    platform::Status initializeSecurityDescriptor() override {
        return store_.initializeSecurityDescriptor();
    }
    platform::Status setSecurityDescriptorDacl() override {
        return store_.setSecurityDescriptorDacl();
    }
    std::string messageFor(platform::Status s) const override { return store_.messageFor(s); }
    std::string userMessageFor(platform::Status s) const override {
        return store_.userMessageFor(s);
    }
    platform::Status beginBatch(platform::Hive h, platform::BatchKind k) override {
        return store_.beginBatch(h, k);
    }
    platform::Status endBatch(platform::Hive h) override { return store_.endBatch(h); }
    platform::Status cancelBatch(platform::Hive h) override { return store_.cancelBatch(h); }

private:
    platform::SettingsStore& store_;
};

} // namespace testing_support
