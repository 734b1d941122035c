#include "app/reg_command.h"

#include "platform/settings_store.h"
#include "platform/store_text.h"
#include "toolkit/settings/registry.h"
#include "toolkit/toolkit_platform.h"

#include <ostream>

namespace {

platform::Hive HiveOf(vemlo::RegRoot root) {
    return root == vemlo::RegRoot::CurrentUser ? platform::Hive::User : platform::Hive::Machine;
}

bool KeyExists(vemlo::RegRoot root, const std::string& key) {
    auto& store = vemlo::SettingsStore();
    platform::KeyHandle handle = 0;
    if (store.openKey(HiveOf(root), key, handle) != platform::kSuccess) {
        return false;
    }
    store.closeKey(handle);
    return true;
}

int List(vemlo::RegRoot root, const std::string& key, std::ostream& out, std::ostream& err) {
    auto& store = vemlo::SettingsStore();
    platform::KeyHandle handle = 0;
    if (const auto status = store.openKey(HiveOf(root), key, handle)) {
        err << "vemlo-reg: cannot open key '" << key << "': " << store.messageFor(status) << "\n";
        return kRegFailed;
    }
    constexpr std::size_t kUnits = platform::kMaxTextUnits + 1;
    std::string name;
    for (std::size_t i = 0; store.enumSubKey(handle, i, kUnits, name) == platform::kSuccess; ++i) {
        out << name << "\\\n";
    }
    for (std::size_t i = 0;
         store.enumValue(handle, i, kUnits, kUnits * 2, name) == platform::kSuccess; ++i) {
        std::string value;
        store.queryValue(handle, name, kUnits, value);
        out << (name.empty() ? "@" : name) << "=" << value << "\n";
    }
    store.closeKey(handle);
    return kRegOk;
}

} // namespace

std::string RegUsage() {
    return "usage: vemlo-reg [--user|--machine] get KEY [NAME] | set KEY NAME VALUE | "
           "delete KEY | list KEY";
}

int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto root = vemlo::RegRoot::LocalMachine;
    std::size_t next = 0;
    if (next < args.size() && (args[next] == "--user" || args[next] == "--machine")) {
        root = args[next] == "--user" ? vemlo::RegRoot::CurrentUser : vemlo::RegRoot::LocalMachine;
        ++next;
    }
    const std::vector<std::string> rest(args.begin() + static_cast<long>(next), args.end());
    const auto usage = [&] {
        err << RegUsage() << "\n";
        return kRegUsage;
    };
    if (rest.empty()) {
        return usage();
    }
    const auto& command = rest[0];
    const auto count = rest.size();
    if (count >= 2 && !platform::IsValidKeyPath(rest[1])) {
        err << "vemlo-reg: not a valid key path: '" << rest[1] << "'\n";
        return kRegUsage;
    }
    if (command == "get" && (count == 2 || count == 3)) {
        const auto value = vemlo::RegReadString(root, rest[1], count == 3 ? rest[2] : "", 0);
        if (value.empty()) {
            err << "vemlo-reg: no value (absent or empty)\n";
            return kRegFailed;
        }
        out << value << "\n";
        return kRegOk;
    }
    if (command == "set" && count == 4) {
        if (!vemlo::RegWriteString(root, rest[1], rest[2], rest[3])) {
            err << "vemlo-reg: the value was not stored"
                << (vemlo::g_LastRegistryError.empty() ? "" : ": " + vemlo::g_LastRegistryError)
                << "\n";
            return kRegFailed;
        }
        return kRegOk;
    }
    if (command == "delete" && count == 2) {
        vemlo::DeleteRegKey(root, rest[1]);
        if (KeyExists(root, rest[1])) {
            err << "vemlo-reg: the key was not deleted (a top-level key is only emptied)\n";
            return kRegFailed;
        }
        return kRegOk;
    }
    if (command == "list" && count == 2) {
        return List(root, rest[1], out, err);
    }
    return usage();
}
