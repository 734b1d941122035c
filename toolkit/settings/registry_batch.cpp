#include "toolkit/settings/registry_batch.h"

#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

namespace vemlo {

namespace {

platform::Hive HiveOf(RegRoot root) {
    return root == RegRoot::CurrentUser ? platform::Hive::User : platform::Hive::Machine;
}

} // namespace

RegistryBatch::RegistryBatch(RegRoot root)
    : root_(root) {
    const auto status = SettingsStore().beginBatch(HiveOf(root));
    begun_ = status == platform::kSuccess;
    if (!begun_) {
        problem_ = SettingsStore().userMessageFor(status);
    }
}

RegistryBatch::~RegistryBatch() {
    end();
}

bool RegistryBatch::end() {
    if (!begun_) {
        return false;
    }
    begun_ = false;
    const auto status = SettingsStore().endBatch(HiveOf(root_));
    if (status != platform::kSuccess) {
        NoteWriteFailure(SettingsStore().messageFor(status));
        problem_ = SettingsStore().userMessageFor(status);
        return false;
    }
    return true;
}

} // namespace vemlo
