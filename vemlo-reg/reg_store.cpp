#include "vemlo-reg/reg_store.h"

#include "toolkit/toolkit_platform.h"
#include "vemlo-reg/reg_command.h"

#include <ostream>

int RegStoreFailed(std::ostream& err, const std::string& what, const std::string& why) {
    err << "vemlo-reg: " << what << ": " << why << "\n";
    return kRegStoreFailed;
}

int OpenRegKey(vemlo::RegRoot root, const std::string& key, vemlo::OpenedKey& opened,
               std::ostream& err) {
    auto& store = vemlo::SettingsStore();
    if (const auto status = store.openKey(vemlo::HiveOf(root), key, opened.handle())) {
        err << "vemlo-reg: cannot open key '" << key << "': " << store.messageFor(status) << "\n";
        return status == platform::kFileNotFound ? kRegFailed : kRegStoreFailed;
    }
    return kRegOk;
}

platform::Status
EachRegValue(platform::KeyHandle key,
             const std::function<void(const std::string& name, const std::string& value)>& take) {
    auto& store = vemlo::SettingsStore();
    std::string name;
    platform::Status status = platform::kSuccess;
    for (std::size_t i = 0;
         (status = store.enumValue(key, i, kRegUnits, kRegUnits * 2, name)) == platform::kSuccess;
         ++i) {
        std::string value;
        if ((status = store.queryValue(key, name, kRegUnits, value)) != platform::kSuccess) {
            return status;
        }
        take(name, value);
    }
    return status;
}

platform::Status EachRegSubKey(platform::KeyHandle key,
                               const std::function<void(const std::string& name)>& take) {
    auto& store = vemlo::SettingsStore();
    std::string name;
    platform::Status status = platform::kSuccess;
    for (std::size_t i = 0;
         (status = store.enumSubKey(key, i, kRegUnits, name)) == platform::kSuccess; ++i) {
        take(name);
    }
    return status;
}
