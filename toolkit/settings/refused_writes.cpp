#include "toolkit/settings/refused_writes.h"

#include "toolkit/toolkit_platform.h"

namespace vemlo {

RefusedWrites::RefusedWrites(platform::Hive hive, platform::Status cause)
    : store_(vemlo::SettingsStore())
    , hive_(hive)
    , cause_(cause)
    , message_(store_.messageFor(cause))
    , userMessage_(store_.userMessageFor(cause)) {
    auto services = CurrentToolkitPlatform();
    services.settingsStore = this;
    UseToolkitPlatform(services);
}

RefusedWrites::~RefusedWrites() {
    auto services = CurrentToolkitPlatform();
    services.settingsStore = &store_;
    UseToolkitPlatform(services);
}

bool RefusedWrites::refused(platform::KeyHandle key) const {
    return keys_.contains(key);
}

platform::Status RefusedWrites::opened(platform::Status status, bool onRefusedHive,
                                       platform::KeyHandle key) {
    if (status == platform::kSuccess && onRefusedHive) {
        keys_.insert(key);
    }
    return status;
}

platform::Status RefusedWrites::createKey(platform::Hive hive, const std::string& path,
                                          bool openAccess, platform::KeyHandle& key) {
    if (hive == hive_) {
        key = 0;
        return cause_;
    }
    return store_.createKey(hive, path, openAccess, key);
}

platform::Status RefusedWrites::openKey(platform::Hive hive, const std::string& path,
                                        platform::KeyHandle& key) {
    const auto status = store_.openKey(hive, path, key);
    return opened(status, hive == hive_, key);
}

platform::Status RefusedWrites::openSubKey(platform::KeyHandle parent, const std::string& name,
                                           platform::KeyHandle& key) {
    const auto status = store_.openSubKey(parent, name, key);
    return opened(status, refused(parent), key);
}

platform::Status RefusedWrites::queryValue(platform::KeyHandle key, const std::string& name,
                                           std::size_t bufferUnits, std::string& value) {
    return store_.queryValue(key, name, bufferUnits, value);
}

platform::Status RefusedWrites::setValue(platform::KeyHandle key, const std::string& name,
                                         const std::string& value) {
    return refused(key) ? cause_ : store_.setValue(key, name, value);
}

platform::Status RefusedWrites::enumValue(platform::KeyHandle key, std::size_t index,
                                          std::size_t nameUnits, std::size_t dataBytes,
                                          std::string& name) {
    return store_.enumValue(key, index, nameUnits, dataBytes, name);
}

platform::Status RefusedWrites::deleteValue(platform::KeyHandle key, const std::string& name) {
    return refused(key) ? cause_ : store_.deleteValue(key, name);
}

platform::Status RefusedWrites::enumSubKey(platform::KeyHandle key, std::size_t index,
                                           std::size_t nameUnits, std::string& name) {
    return store_.enumSubKey(key, index, nameUnits, name);
}

platform::Status RefusedWrites::deleteSubKey(platform::KeyHandle key, const std::string& name) {
    return refused(key) ? cause_ : store_.deleteSubKey(key, name);
}

void RefusedWrites::closeKey(platform::KeyHandle key) {
    keys_.erase(key);
    store_.closeKey(key);
}

platform::Status RefusedWrites::initializeSecurityDescriptor() {
    return store_.initializeSecurityDescriptor();
}

platform::Status RefusedWrites::setSecurityDescriptorDacl() {
    return store_.setSecurityDescriptorDacl();
}

std::string RefusedWrites::messageFor(platform::Status status) const {
    return status == cause_ ? message_ : store_.messageFor(status);
}

std::string RefusedWrites::userMessageFor(platform::Status status) const {
    return status == cause_ ? userMessage_ : store_.userMessageFor(status);
}

platform::Status RefusedWrites::beginBatch(platform::Hive hive, platform::BatchKind kind) {
    if (hive == hive_ && kind == platform::BatchKind::Write) {
        return cause_;
    }
    return store_.beginBatch(hive, kind);
}

platform::Status RefusedWrites::endBatch(platform::Hive hive) {
    return store_.endBatch(hive);
}

platform::Status RefusedWrites::cancelBatch(platform::Hive hive) {
    return store_.cancelBatch(hive);
}

} // namespace vemlo
