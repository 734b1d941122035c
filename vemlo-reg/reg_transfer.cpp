#include "vemlo-reg/reg_transfer.h"

#include "platform/settings_store.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"
#include "vemlo-reg/reg_command.h"
#include "vemlo-reg/reg_file.h"

#include <ostream>
#include <vector>

namespace {

constexpr std::size_t kUnits = platform::kMaxTextUnits + 1;

// Writes the open key's section (its values) and lists its sub-keys.
platform::Status ExportSection(platform::KeyHandle handle, const std::string& path,
                               std::ostream& out, std::vector<std::string>& subKeys) {
    auto& store = vemlo::SettingsStore();
    RegFileKey key{path, {}};
    std::string name;
    platform::Status status = platform::kSuccess;
    for (std::size_t i = 0;
         (status = store.enumValue(handle, i, kUnits, kUnits * 2, name)) == platform::kSuccess;
         ++i) {
        std::string value;
        if ((status = store.queryValue(handle, name, kUnits, value)) != platform::kSuccess) {
            return status;
        }
        key.values.push_back({name, value});
    }
    if (status != platform::kNoMoreItems) {
        return status;
    }
    WriteRegFileKey(out, key);
    for (std::size_t i = 0;
         (status = store.enumSubKey(handle, i, kUnits, name)) == platform::kSuccess; ++i) {
        subKeys.push_back(name);
    }
    return status == platform::kNoMoreItems ? platform::kSuccess : status;
}

// One key of the walk: its handle, path and the sub-keys still to write.
struct ExportedKey {
    platform::KeyHandle handle;
    std::string path;
    std::vector<std::string> subKeys;
    std::size_t next = 0;
};

// Writes the open key and everything below it, depth first, with the path held on the heap: a
// damaged store may hold a chain far deeper than the call stack would take. "" when all was
// written, else why not.
std::string ExportTree(platform::KeyHandle start, const std::string& path, std::ostream& out) {
    auto& store = vemlo::SettingsStore();
    std::vector<ExportedKey> keys{{start, path, {}}};
    std::string problem;
    if (const auto status = ExportSection(start, path, out, keys.back().subKeys)) {
        problem = store.messageFor(status);
    }
    while (problem.empty() && !keys.empty()) {
        auto& top = keys.back();
        if (top.next == top.subKeys.size()) {
            if (keys.size() > 1) {
                store.closeKey(top.handle);
            }
            keys.pop_back();
            continue;
        }
        ExportedKey sub{0, top.path + "\\" + top.subKeys[top.next++], {}};
        if (const auto status =
                store.openSubKey(top.handle, top.subKeys[top.next - 1], sub.handle)) {
            problem = store.messageFor(status);
            break;
        }
        keys.push_back(std::move(sub));
        if (keys.size() > platform::kMaxKeyDepth) {
            problem = "the store holds keys more than " + std::to_string(platform::kMaxKeyDepth) +
                      " levels deep; it is damaged";
        } else if (const auto status = ExportSection(keys.back().handle, keys.back().path, out,
                                                     keys.back().subKeys)) {
            problem = store.messageFor(status);
        }
    }
    for (std::size_t i = 1; i < keys.size(); ++i) {
        store.closeKey(keys[i].handle);
    }
    return problem;
}

int StoreFailed(std::ostream& err, const std::string& what, const std::string& why) {
    err << "vemlo-reg: " << what << ": " << why << "\n";
    return kRegStoreFailed;
}

} // namespace

int ExportKey(vemlo::RegRoot root, const std::string& key, std::ostream& out, std::ostream& err) {
    auto& store = vemlo::SettingsStore();
    vemlo::RegistryBatch batch(root, platform::BatchKind::Read);
    platform::KeyHandle handle = 0;
    if (const auto status = store.openKey(vemlo::HiveOf(root), key, handle)) {
        err << "vemlo-reg: cannot open key '" << key << "': " << store.messageFor(status) << "\n";
        return status == platform::kFileNotFound ? kRegFailed : kRegStoreFailed;
    }
    out << kRegFileFirstLine << "\n";
    const auto problem = ExportTree(handle, key, out);
    store.closeKey(handle);
    if (!problem.empty()) {
        return StoreFailed(err, "the export is incomplete", problem);
    }
    return kRegOk;
}

int ImportText(vemlo::RegRoot root, std::string_view text, const std::string& fileName,
               std::ostream& err) {
    // A byte-order mark, as editors on Windows write one.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const auto parsed = ParseRegFile(text);
    if (parsed.error) {
        err << "vemlo-reg: " << fileName << ":" << parsed.error->line << ": " << parsed.error->what
            << "; nothing was imported\n";
        return kRegUsage;
    }
    auto& store = vemlo::SettingsStore();
    const bool machine = root == vemlo::RegRoot::LocalMachine;
    vemlo::RegistryBatch batch(root);
    for (const auto& key : parsed.keys) {
        platform::KeyHandle handle = 0;
        if (const auto status = store.createKey(vemlo::HiveOf(root), key.path, machine, handle)) {
            batch.cancel();
            return StoreFailed(err, "nothing was imported: key '" + key.path + "'",
                               store.messageFor(status));
        }
        store.closeKey(handle);
        for (const auto& value : key.values) {
            if (!vemlo::RegWriteString(root, key.path, value.name, value.value)) {
                batch.cancel();
                return StoreFailed(err, "nothing was imported: key '" + key.path + "'",
                                   vemlo::LastWriteFailure());
            }
        }
    }
    if (!batch.end()) {
        return StoreFailed(err, "nothing was imported", vemlo::LastWriteFailure());
    }
    return kRegOk;
}
