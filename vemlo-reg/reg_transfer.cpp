#include "vemlo-reg/reg_transfer.h"

#include "platform/settings_store.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"
#include "vemlo-reg/reg_command.h"
#include "vemlo-reg/reg_file.h"
#include "vemlo-reg/reg_store.h"

#include <ostream>
#include <utility>
#include <vector>

namespace {

// Writes the open key's section (its values) and lists its sub-keys.
platform::Status ExportSection(platform::KeyHandle handle, const std::string& path,
                               std::ostream& out, std::vector<std::string>& subKeys) {
    RegFileKey key{path, {}};
    auto status = EachRegValue(handle, [&](const std::string& name, const std::string& value) {
        key.values.push_back({name, value});
    });
    if (status != platform::kNoMoreItems) {
        return status;
    }
    WriteRegFileKey(out, key);
    status = EachRegSubKey(handle, [&](const std::string& name) { subKeys.push_back(name); });
    return status == platform::kNoMoreItems ? platform::kSuccess : status;
}

// One key of the walk: the key, its path and the sub-keys still to write.
struct ExportedKey {
    vemlo::OpenedKey key;
    std::string path;
    std::vector<std::string> subKeys;
    std::size_t next = 0;
};

// Writes the open key and everything below it, depth first, with the path held on the heap: a
// damaged store may hold a chain far deeper than the call stack would take. "" when all was
// written, else why not.
std::string ExportTree(vemlo::OpenedKey start, const std::string& path, std::ostream& out) {
    auto& store = vemlo::SettingsStore();
    std::vector<ExportedKey> keys;
    keys.push_back({std::move(start), path, {}});
    std::string problem;
    if (const auto status = ExportSection(keys.back().key.get(), path, out, keys.back().subKeys)) {
        problem = store.messageFor(status);
    }
    while (problem.empty() && !keys.empty()) {
        auto& top = keys.back();
        if (top.next == top.subKeys.size()) {
            keys.pop_back();
            continue;
        }
        const auto& name = top.subKeys[top.next++];
        ExportedKey sub{{}, top.path + "\\" + name, {}};
        if (const auto status = store.openSubKey(top.key.get(), name, sub.key.handle())) {
            problem = store.messageFor(status);
            break;
        }
        keys.push_back(std::move(sub));
        if (keys.size() > platform::kMaxKeyDepth) {
            problem = "the store holds keys more than " + std::to_string(platform::kMaxKeyDepth) +
                      " levels deep; it is damaged";
        } else if (const auto status = ExportSection(keys.back().key.get(), keys.back().path, out,
                                                     keys.back().subKeys)) {
            problem = store.messageFor(status);
        }
    }
    return problem;
}

} // namespace

int ExportKey(vemlo::RegRoot root, const std::string& key, std::ostream& out, std::ostream& err) {
    vemlo::RegistryBatch batch(root, platform::BatchKind::Read);
    vemlo::OpenedKey opened;
    if (const int result = OpenRegKey(root, key, opened, err)) {
        return result;
    }
    out << kRegFileFirstLine << "\n";
    const auto problem = ExportTree(std::move(opened), key, out);
    if (!problem.empty()) {
        return RegStoreFailed(err, "the export is incomplete", problem);
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
        {
            vemlo::OpenedKey created;
            if (const auto status =
                    store.createKey(vemlo::HiveOf(root), key.path, machine, created.handle())) {
                batch.cancel();
                return RegStoreFailed(err, "nothing was imported: key '" + key.path + "'",
                                      store.messageFor(status));
            }
        }
        for (const auto& value : key.values) {
            if (!vemlo::RegWriteString(root, key.path, value.name, value.value)) {
                batch.cancel();
                return RegStoreFailed(err, "nothing was imported: key '" + key.path + "'",
                                      vemlo::LastWriteFailure());
            }
        }
    }
    if (!batch.end()) {
        return RegStoreFailed(err, "nothing was imported", vemlo::LastWriteFailure());
    }
    return kRegOk;
}
