#pragma once

#include "platform/settings_store.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The settings store held in memory, for tests. Names compare without regard to case by the
// store's one folding (FoldCase), as in the files. Tests can make given calls fail and look at the
// tree directly.
class MemorySettingsStore final : public SettingsStore {
public:
    enum class Call {
        CreateKey,
        OpenKey,
        OpenSubKey,
        QueryValue,
        SetValue,
        EnumValue,
        DeleteValue,
        EnumSubKey,
        DeleteSubKey,
        InitializeSecurityDescriptor,
        SetSecurityDescriptorDacl,
        BeginBatch,
        EndBatch,
    };

    MemorySettingsStore();
    ~MemorySettingsStore() override;

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
    // Batches only count their depth: every write is stored at once, even in a batch whose end
    // is made to fail.
    Status beginBatch(Hive hive, BatchKind kind) override;
    Status endBatch(Hive hive) override;
    Status cancelBatch(Hive hive) override;
    int batchDepth(Hive hive) const { return hive == Hive::User ? userBatches_ : machineBatches_; }
    // The kinds of the batches begun, in order.
    const std::vector<BatchKind>& batchesBegun() const { return batchesBegun_; }

    // The next `times` calls of `call` (in `hive` only, when one is given) fail with `status`;
    // a negative count makes every such call fail.
    void failNext(Call call, Status status, int times = 1, std::optional<Hive> hive = {});
    // Every query of a value of that name, in any key, fails with `status`.
    void failQueriesOf(const std::string& valueName, Status status);
    void clearFailures();

    bool keyExists(Hive hive, const std::string& path) const;
    // Whether the key was created granting every user full access.
    bool hasOpenAccess(Hive hive, const std::string& path) const;
    // The stored value, or nothing when absent (unlike a read, which cannot tell).
    std::optional<std::string> storedValue(Hive hive, const std::string& path,
                                           const std::string& name) const;
    std::vector<std::string> subKeyNames(Hive hive, const std::string& path) const;
    std::vector<std::string> valueNames(Hive hive, const std::string& path) const;
    std::size_t openHandleCount() const { return handles_.size(); }

private:
    struct Node;
    struct Failure {
        Call call;
        Status status;
        int remaining;
        std::optional<Hive> hive;
    };
    struct Handle {
        Hive hive;
        std::vector<std::string> path;
        // The key's id when opened: a key deleted and made again is another key.
        std::uint64_t node;
    };

    Status injected(Call call, std::optional<Hive> hive);
    Node* root(Hive hive) const;
    Node* find(Hive hive, const std::vector<std::string>& path) const;
    // The open key, unless the handle is unknown, the key is gone or a failure is injected.
    Node* resolve(KeyHandle key, Call call, Status& status);
    KeyHandle newHandle(Hive hive, std::vector<std::string> path, const Node& node);

    std::unique_ptr<Node> user_;
    std::unique_ptr<Node> machine_;
    std::map<KeyHandle, Handle> handles_;
    KeyHandle nextHandle_ = 1;
    std::uint64_t nextNode_ = 1;
    std::vector<Failure> failures_;
    std::map<std::string, Status> failingValues_;
    std::vector<BatchKind> batchesBegun_;
    int userBatches_ = 0;
    int machineBatches_ = 0;
};

} // namespace platform
