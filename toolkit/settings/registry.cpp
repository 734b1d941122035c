#include "toolkit/settings/registry.h"

#include "platform/store_deadline.h"
#include "platform/store_text.h"
#include "toolkit/dialogs/message_routines.h"
#include "toolkit/settings/opened_key.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <exception>
#include <stdexcept>
#include <vector>

namespace vemlo {

std::string g_LastRegistryError;

namespace {

constexpr std::size_t kBufferUnits = platform::kMaxTextUnits + 1;
constexpr std::size_t kEnumNameUnits = 512;
constexpr std::size_t kEnumDataBytes = 8192;

bool IsKnownRoot(RegRoot root) {
    return root == RegRoot::CurrentUser || root == RegRoot::LocalMachine;
}

std::string KeyTooDeepText() {
    return "The key has sub-keys more than " + std::to_string(platform::kMaxKeyDepth) +
           " levels deep; the store is damaged and nothing was deleted.";
}

std::string DeletionFailedText() {
    return TranslateText("Det gick inte att radera värdet i registret!") + "\r\r";
}

} // namespace

bool RegWriteString(RegRoot root, const std::string& keyPath, const std::string& valueName,
                    const std::string& value) {
    // Every wait and statement of the call shares one deadline.
    const platform::StoreDeadline deadline;
    // Texts past the limit are refused rather than cut, so nothing is stored half.
    if (!IsKnownRoot(root) || !platform::IsValidKeyPath(keyPath) ||
        !platform::IsStorableText(valueName) || !platform::IsStorableText(value)) {
        NoteWriteFailure("The key path, the name or the value is longer than " +
                         std::to_string(platform::kMaxTextUnits) +
                         " characters, not valid UTF-8 or holds a NUL character.");
        return false;
    }
    auto& store = SettingsStore();
    const bool machine = root == RegRoot::LocalMachine;
    if (machine) {
        if (const auto error = store.initializeSecurityDescriptor()) {
            throw std::runtime_error("Unable to initialize security descriptor. Windows error=" +
                                     std::to_string(error));
        }
        if (const auto error = store.setSecurityDescriptorDacl()) {
            throw std::runtime_error("Unable to set security descriptor dacl. Windows error=" +
                                     std::to_string(error));
        }
    }
    OpenedKey key;
    if (const auto error = store.createKey(HiveOf(root), keyPath, machine, key.handle())) {
        g_LastRegistryError = store.messageFor(error);
        if (const auto retry = store.createKey(HiveOf(root), keyPath, false, key.handle())) {
            NoteWriteFailure(retry == platform::kInvalidParameter
                                 ? "A key name is longer than " +
                                       std::to_string(platform::kMaxKeyNameUnits) + " characters."
                                 : store.messageFor(retry));
            return false;
        }
    }
    if (const auto status = store.setValue(key.get(), valueName, value)) {
        NoteWriteFailure(store.messageFor(status));
        return false;
    }
    return true;
}

std::string RegReadString(RegRoot root, const std::string& keyPath, const std::string& valueName,
                          std::uint32_t) {
    // Every wait and statement of the call shares one deadline.
    const platform::StoreDeadline deadline;
    std::string result;
    if (!IsKnownRoot(root) || !platform::IsValidKeyPath(keyPath)) {
        return result;
    }
    auto& store = SettingsStore();
    OpenedKey key;
    if (const auto status = store.openKey(HiveOf(root), keyPath, key.handle())) {
        if (IsReadFailure(status)) {
            NoteReadFailure(status);
        }
        return result;
    }
    std::string value;
    const auto status = store.queryValue(key.get(), valueName, kBufferUnits, value);
    if (status == platform::kSuccess) {
        result = std::move(value);
    } else if (IsReadFailure(status)) {
        NoteReadFailure(status);
    }
    return result;
}

namespace {

// Deletes the values of an open key, as far as they go.
void ClearValues(platform::KeyHandle key) {
    auto& store = SettingsStore();
    while (true) {
        std::string name;
        const auto status = store.enumValue(key, 0, kEnumNameUnits, kEnumDataBytes, name);
        if (status == platform::kAccessDenied) {
            ShowDatabaseError(DeletionFailedText() + TranslateText("Åtkomst nekad"));
        }
        if (status != platform::kSuccess || store.deleteValue(key, name) != platform::kSuccess) {
            break;
        }
    }
}

// One key of a subtree walk: its handle (closed with the walk unless it is the walk's start)
// and its name in its parent.
struct WalkedKey {
    platform::KeyHandle key;
    std::string name;
    bool ended = false;
};

// Closes the keys that a walk opened, whichever way it ends.
class Walk {
public:
    explicit Walk(platform::KeyHandle start) { keys_.push_back({start, {}}); }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;
    ~Walk() {
        while (!keys_.empty()) {
            pop();
        }
    }
    std::vector<WalkedKey>& keys() { return keys_; }
    WalkedKey pop() {
        WalkedKey last = std::move(keys_.back());
        keys_.pop_back();
        if (!keys_.empty()) {
            SettingsStore().closeKey(last.key);
        }
        return last;
    }

private:
    std::vector<WalkedKey> keys_;
};

} // namespace

// Depth first, with the path held on the heap: a store may hold a chain of keys far deeper than
// the call stack would take.
void ClearRegKey(platform::KeyHandle key) {
    auto& store = SettingsStore();
    ClearValues(key);
    Walk walk(key);
    auto& keys = walk.keys();
    while (!keys.empty()) {
        auto& top = keys.back();
        std::string name;
        platform::KeyHandle sub = 0;
        if (!top.ended &&
            store.enumSubKey(top.key, 0, kEnumNameUnits, name) == platform::kSuccess &&
            store.openSubKey(top.key, name, sub) == platform::kSuccess) {
            keys.push_back({sub, std::move(name)});
            if (keys.size() > platform::kMaxKeyDepth) {
                throw std::runtime_error(KeyTooDeepText());
            }
            ClearValues(sub);
            continue;
        }
        const auto done = walk.pop();
        // A sub-key that cannot go would be met again at index 0 for ever: its parent ends.
        if (!keys.empty() && store.deleteSubKey(keys.back().key, done.name) != platform::kSuccess) {
            keys.back().ended = true;
        }
    }
}

bool DeleteRegKeyFromParent(RegRoot root, const std::string& keyPath) {
    const auto slash = keyPath.rfind('\\');
    if (slash == std::string::npos || !IsKnownRoot(root) || !platform::IsValidKeyPath(keyPath)) {
        return false;
    }
    auto& store = SettingsStore();
    OpenedKey parent;
    auto status = store.openKey(HiveOf(root), keyPath.substr(0, slash), parent.handle());
    if (status == platform::kSuccess) {
        status = store.deleteSubKey(parent.get(), keyPath.substr(slash + 1));
    }
    if (status != platform::kSuccess && status != platform::kFileNotFound) {
        NoteWriteFailure(store.messageFor(status));
    }
    return status == platform::kSuccess;
}

void DeleteRegKey(RegRoot root, const std::string& keyPath) {
    // Every wait and statement of the call shares one deadline.
    const platform::StoreDeadline deadline;
    if (!IsKnownRoot(root) || !platform::IsValidKeyPath(keyPath)) {
        return;
    }
    NoteWriteFailure({});
    const auto report = [](const std::exception& error) {
        ReportError(DeletionFailedText() + error.what());
    };
    // A kill or a full disk midway must not leave half a subtree.
    RegistryBatch batch(root);
    bool cleared = true;
    {
        OpenedKey key;
        if (SettingsStore().openKey(HiveOf(root), keyPath, key.handle()) == platform::kSuccess) {
            try {
                ClearRegKey(key.get());
            } catch (const std::exception& error) {
                report(error);
                NoteWriteFailure(error.what());
                cleared = false;
            }
        }
    }
    if (cleared) {
        DeleteRegKeyFromParent(root, keyPath);
    }
    // The boxes of the clearing are shown here, after the batch; an error they raise is still
    // the clearing's. A clearing cut short stores nothing of itself: the subtree stays whole.
    try {
        if (cleared) {
            batch.end();
        } else {
            batch.cancel();
        }
    } catch (const std::exception& error) {
        report(error);
    }
}

} // namespace vemlo
