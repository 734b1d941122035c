#include "platform/memory/memory_settings_store.h"

#include "platform/case_folding.h"
#include "platform/store_text.h"

namespace platform {

namespace {

// The same folding as every other store.
std::string Fold(const std::string& name) {
    return FoldCase(name);
}

std::vector<std::string> FoldedPath(const std::string& path) {
    auto parts = SplitKeyPath(path);
    for (auto& part : parts) {
        part = Fold(part);
    }
    return parts;
}

} // namespace

struct MemorySettingsStore::Node {
    std::string name;
    // Tells a key from one made again under its name after it was deleted.
    std::uint64_t id = 0;
    bool openAccess = false;
    std::map<std::string, std::unique_ptr<Node>> children;
    std::map<std::string, std::pair<std::string, std::string>> values; // folded -> name, data
};

MemorySettingsStore::MemorySettingsStore()
    : user_(std::make_unique<Node>())
    , machine_(std::make_unique<Node>()) {}

MemorySettingsStore::~MemorySettingsStore() = default;

Status MemorySettingsStore::injected(Call call, std::optional<Hive> hive) {
    for (auto it = failures_.begin(); it != failures_.end(); ++it) {
        if (it->call != call || (it->hive && hive && *it->hive != *hive)) {
            continue;
        }
        const Status status = it->status;
        if (it->remaining > 0 && --it->remaining == 0) {
            failures_.erase(it);
        }
        return status;
    }
    return kSuccess;
}

void MemorySettingsStore::failNext(Call call, Status status, int times, std::optional<Hive> hive) {
    failures_.push_back({call, status, times, hive});
}

void MemorySettingsStore::failQueriesOf(const std::string& valueName, Status status) {
    failingValues_[Fold(valueName)] = status;
}

void MemorySettingsStore::clearFailures() {
    failures_.clear();
    failingValues_.clear();
}

MemorySettingsStore::Node* MemorySettingsStore::root(Hive hive) const {
    return hive == Hive::User ? user_.get() : machine_.get();
}

MemorySettingsStore::Node* MemorySettingsStore::find(Hive hive,
                                                     const std::vector<std::string>& path) const {
    Node* node = root(hive);
    for (const auto& part : path) {
        const auto it = node->children.find(part);
        if (it == node->children.end()) {
            return nullptr;
        }
        node = it->second.get();
    }
    return node;
}

MemorySettingsStore::Node* MemorySettingsStore::resolve(KeyHandle key, Call call, Status& status) {
    const auto it = handles_.find(key);
    if (it == handles_.end()) {
        status = kInvalidHandle;
        return nullptr;
    }
    Node* node = find(it->second.hive, it->second.path);
    status = node && node->id == it->second.node ? injected(call, it->second.hive) : kKeyDeleted;
    return status == kSuccess ? node : nullptr;
}

KeyHandle MemorySettingsStore::newHandle(Hive hive, std::vector<std::string> path,
                                         const Node& node) {
    const KeyHandle key = nextHandle_++;
    handles_.emplace(key, Handle{hive, std::move(path), node.id});
    return key;
}

Status MemorySettingsStore::createKey(Hive hive, const std::string& path, bool openAccess,
                                      KeyHandle& key) {
    key = 0;
    if (const Status status = injected(Call::CreateKey, hive)) {
        return status;
    }
    if (!IsCreatableKeyPath(path)) {
        return kInvalidParameter;
    }
    Node* node = root(hive);
    for (const auto& part : SplitKeyPath(path)) {
        auto& child = node->children[Fold(part)];
        if (!child) {
            child = std::make_unique<Node>();
            child->name = part;
            child->id = nextNode_++;
            child->openAccess = openAccess;
        }
        node = child.get();
    }
    key = newHandle(hive, FoldedPath(path), *node);
    return kSuccess;
}

Status MemorySettingsStore::openKey(Hive hive, const std::string& path, KeyHandle& key) {
    key = 0;
    if (const Status status = injected(Call::OpenKey, hive)) {
        return status;
    }
    if (!IsValidKeyPath(path)) {
        return kInvalidParameter;
    }
    auto folded = FoldedPath(path);
    const Node* node = find(hive, folded);
    if (!node) {
        return kFileNotFound;
    }
    key = newHandle(hive, std::move(folded), *node);
    return kSuccess;
}

Status MemorySettingsStore::openSubKey(KeyHandle parent, const std::string& name, KeyHandle& key) {
    key = 0;
    Status status = kSuccess;
    Node* node = resolve(parent, Call::OpenSubKey, status);
    if (!node) {
        return status;
    }
    const Handle handle = handles_.at(parent);
    if (!IsKeyName(name)) {
        return kInvalidParameter;
    }
    const auto child = node->children.find(Fold(name));
    if (child == node->children.end()) {
        return kFileNotFound;
    }
    auto path = handle.path;
    path.push_back(Fold(name));
    key = newHandle(handle.hive, std::move(path), *child->second);
    return kSuccess;
}

Status MemorySettingsStore::queryValue(KeyHandle key, const std::string& name,
                                       std::size_t bufferUnits, std::string& value) {
    Status status = kSuccess;
    Node* node = resolve(key, Call::QueryValue, status);
    if (!node) {
        return status;
    }
    if (const auto failing = failingValues_.find(Fold(name)); failing != failingValues_.end()) {
        return failing->second;
    }
    const auto it = node->values.find(Fold(name));
    if (it == node->values.end()) {
        return kFileNotFound;
    }
    if (!FitsBuffer(it->second.second, bufferUnits)) {
        return kMoreData;
    }
    value = it->second.second;
    return kSuccess;
}

Status MemorySettingsStore::setValue(KeyHandle key, const std::string& name,
                                     const std::string& value) {
    Status status = kSuccess;
    Node* node = resolve(key, Call::SetValue, status);
    if (!node) {
        return status;
    }
    if (!IsStorableText(name) || !IsStorableText(value)) {
        return kInvalidParameter;
    }
    auto& entry = node->values[Fold(name)];
    if (entry.first.empty()) {
        entry.first = name;
    }
    entry.second = value;
    return kSuccess;
}

Status MemorySettingsStore::enumValue(KeyHandle key, std::size_t index, std::size_t nameUnits,
                                      std::size_t dataBytes, std::string& name) {
    Status status = kSuccess;
    Node* node = resolve(key, Call::EnumValue, status);
    if (!node) {
        return status;
    }
    if (index >= node->values.size()) {
        return kNoMoreItems;
    }
    const auto& [storedName, data] =
        std::next(node->values.begin(), static_cast<long>(index))->second;
    if (!FitsBuffer(storedName, nameUnits) || !FitsBuffer(data, dataBytes / 2)) {
        return kMoreData;
    }
    name = storedName;
    return kSuccess;
}

Status MemorySettingsStore::deleteValue(KeyHandle key, const std::string& name) {
    Status status = kSuccess;
    Node* node = resolve(key, Call::DeleteValue, status);
    if (!node) {
        return status;
    }
    return node->values.erase(Fold(name)) ? kSuccess : kFileNotFound;
}

Status MemorySettingsStore::enumSubKey(KeyHandle key, std::size_t index, std::size_t nameUnits,
                                       std::string& name) {
    Status status = kSuccess;
    Node* node = resolve(key, Call::EnumSubKey, status);
    if (!node) {
        return status;
    }
    if (index >= node->children.size()) {
        return kNoMoreItems;
    }
    const auto& childName =
        std::next(node->children.begin(), static_cast<long>(index))->second->name;
    if (!FitsBuffer(childName, nameUnits)) {
        return kMoreData;
    }
    name = childName;
    return kSuccess;
}

Status MemorySettingsStore::deleteSubKey(KeyHandle key, const std::string& name) {
    Status status = kSuccess;
    Node* node = resolve(key, Call::DeleteSubKey, status);
    if (!node) {
        return status;
    }
    const auto it = node->children.find(Fold(name));
    if (it == node->children.end()) {
        return kFileNotFound;
    }
    if (!it->second->children.empty()) {
        return kAccessDenied;
    }
    node->children.erase(it);
    return kSuccess;
}

void MemorySettingsStore::closeKey(KeyHandle key) {
    handles_.erase(key);
}

Status MemorySettingsStore::initializeSecurityDescriptor() {
    return injected(Call::InitializeSecurityDescriptor, std::nullopt);
}

Status MemorySettingsStore::setSecurityDescriptorDacl() {
    return injected(Call::SetSecurityDescriptorDacl, std::nullopt);
}

std::string MemorySettingsStore::messageFor(Status status) const {
    return StandardStatusMessage(status);
}

std::string MemorySettingsStore::userMessageFor(Status status) const {
    return UserStatusMessage(status);
}

Status MemorySettingsStore::beginBatch(Hive hive, BatchKind kind) {
    if (const Status status = injected(Call::BeginBatch, hive)) {
        return status;
    }
    batchesBegun_.push_back(kind);
    ++(hive == Hive::User ? userBatches_ : machineBatches_);
    return kSuccess;
}

// Nothing was held back, so nothing can be taken back.
Status MemorySettingsStore::cancelBatch(Hive hive) {
    return endBatch(hive);
}

Status MemorySettingsStore::endBatch(Hive hive) {
    int& depth = hive == Hive::User ? userBatches_ : machineBatches_;
    if (depth == 0) {
        return kInvalidParameter;
    }
    // Only the outermost end stores a batch, so only it can fail.
    return --depth == 0 ? injected(Call::EndBatch, hive) : kSuccess;
}

bool MemorySettingsStore::keyExists(Hive hive, const std::string& path) const {
    return IsValidKeyPath(path) && find(hive, FoldedPath(path));
}

bool MemorySettingsStore::hasOpenAccess(Hive hive, const std::string& path) const {
    const Node* node = IsValidKeyPath(path) ? find(hive, FoldedPath(path)) : nullptr;
    return node && node->openAccess;
}

std::optional<std::string> MemorySettingsStore::storedValue(Hive hive, const std::string& path,
                                                            const std::string& name) const {
    const Node* node = IsValidKeyPath(path) ? find(hive, FoldedPath(path)) : nullptr;
    if (!node) {
        return std::nullopt;
    }
    const auto it = node->values.find(Fold(name));
    if (it == node->values.end()) {
        return std::nullopt;
    }
    return it->second.second;
}

std::vector<std::string> MemorySettingsStore::subKeyNames(Hive hive,
                                                          const std::string& path) const {
    std::vector<std::string> names;
    if (const Node* node = IsValidKeyPath(path) ? find(hive, FoldedPath(path)) : nullptr) {
        for (const auto& [folded, child] : node->children) {
            names.push_back(child->name);
        }
    }
    return names;
}

std::vector<std::string> MemorySettingsStore::valueNames(Hive hive, const std::string& path) const {
    std::vector<std::string> names;
    if (const Node* node = IsValidKeyPath(path) ? find(hive, FoldedPath(path)) : nullptr) {
        for (const auto& [folded, entry] : node->values) {
            names.push_back(entry.first);
        }
    }
    return names;
}

} // namespace platform
