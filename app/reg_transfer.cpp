#include "app/reg_transfer.h"

#include "app/reg_command.h"
#include "app/reg_file.h"
#include "platform/settings_store.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <ostream>
#include <vector>

namespace {

constexpr std::size_t kUnits = platform::kMaxTextUnits + 1;

platform::Hive HiveOf(vemlo::RegRoot root) {
    return root == vemlo::RegRoot::CurrentUser ? platform::Hive::User : platform::Hive::Machine;
}

// Writes the open key's section and then its sub-keys', depth first; the status that stopped it.
platform::Status ExportOpen(platform::KeyHandle handle, const std::string& path,
                            std::ostream& out) {
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
    std::vector<std::string> subKeys;
    for (std::size_t i = 0;
         (status = store.enumSubKey(handle, i, kUnits, name)) == platform::kSuccess; ++i) {
        subKeys.push_back(name);
    }
    if (status != platform::kNoMoreItems) {
        return status;
    }
    for (const auto& sub : subKeys) {
        platform::KeyHandle child = 0;
        if ((status = store.openSubKey(handle, sub, child)) != platform::kSuccess) {
            return status;
        }
        status = ExportOpen(child, path + "\\" + sub, out);
        store.closeKey(child);
        if (status != platform::kNoMoreItems) {
            return status;
        }
    }
    return platform::kNoMoreItems;
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
    if (const auto status = store.openKey(HiveOf(root), key, handle)) {
        err << "vemlo-reg: cannot open key '" << key << "': " << store.messageFor(status) << "\n";
        return status == platform::kFileNotFound ? kRegFailed : kRegStoreFailed;
    }
    out << kRegFileFirstLine << "\n";
    const auto status = ExportOpen(handle, key, out);
    store.closeKey(handle);
    if (status != platform::kNoMoreItems) {
        return StoreFailed(err, "the export is incomplete", store.messageFor(status));
    }
    return kRegOk;
}

int ImportText(vemlo::RegRoot root, std::string_view text, const std::string& fileName,
               std::ostream& err) {
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
        if (const auto status = store.createKey(HiveOf(root), key.path, machine, handle)) {
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
