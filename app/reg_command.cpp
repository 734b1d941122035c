#include "app/reg_command.h"

#include "app/reg_text.h"
#include "app/reg_transfer.h"
#include "platform/settings_store.h"
#include "platform/store_text.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace {

platform::Hive HiveOf(vemlo::RegRoot root) {
    return root == vemlo::RegRoot::CurrentUser ? platform::Hive::User : platform::Hive::Machine;
}

int StoreFailed(std::ostream& err, const std::string& what, const std::string& why) {
    err << "vemlo-reg: " << what << ": " << why << "\n";
    return kRegStoreFailed;
}

int Delete(vemlo::RegRoot root, const std::string& key, std::ostream& err) {
    vemlo::DeleteRegKey(root, key);
    auto& store = vemlo::SettingsStore();
    platform::KeyHandle handle = 0;
    const auto status = store.openKey(HiveOf(root), key, handle);
    if (status == platform::kFileNotFound) {
        return kRegOk;
    }
    if (status != platform::kSuccess) {
        return StoreFailed(err, "the key was not deleted", store.messageFor(status));
    }
    store.closeKey(handle);
    if (key.find('\\') == std::string::npos) {
        err << "vemlo-reg: a top-level key is only emptied, it was not deleted itself\n";
        return kRegFailed;
    }
    const auto& why = vemlo::LastWriteFailure();
    return StoreFailed(err, "the key was not deleted",
                       why.empty() ? "it is still there after the deletion" : why);
}

int List(vemlo::RegRoot root, const std::string& key, std::ostream& out, std::ostream& err) {
    auto& store = vemlo::SettingsStore();
    platform::KeyHandle handle = 0;
    if (const auto status = store.openKey(HiveOf(root), key, handle)) {
        err << "vemlo-reg: cannot open key '" << key << "': " << store.messageFor(status) << "\n";
        return status == platform::kFileNotFound ? kRegFailed : kRegStoreFailed;
    }
    constexpr std::size_t kUnits = platform::kMaxTextUnits + 1;
    std::string name;
    std::size_t i = 0;
    platform::Status status = platform::kSuccess;
    for (; (status = store.enumSubKey(handle, i, kUnits, name)) == platform::kSuccess; ++i) {
        out << QuoteRegText(name) << "\\\n";
    }
    if (status == platform::kNoMoreItems) {
        for (i = 0;
             (status = store.enumValue(handle, i, kUnits, kUnits * 2, name)) == platform::kSuccess;
             ++i) {
            std::string value;
            if ((status = store.queryValue(handle, name, kUnits, value)) != platform::kSuccess) {
                break;
            }
            out << (name.empty() ? "@" : QuoteRegText(name)) << "=" << QuoteRegText(value) << "\n";
        }
    }
    store.closeKey(handle);
    if (status != platform::kNoMoreItems) {
        return StoreFailed(err, "the listing is incomplete", store.messageFor(status));
    }
    return kRegOk;
}

int Import(vemlo::RegRoot root, const std::string& file, std::ostream& err) {
    std::ostringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            err << "vemlo-reg: cannot read '" << file << "'\n";
            return kRegFailed;
        }
        text << in.rdbuf();
    }
    return ImportText(root, text.str(), file == "-" ? "(standard input)" : file, err);
}

int Export(vemlo::RegRoot root, const std::string& key, const std::string& file, std::ostream& out,
           std::ostream& err) {
    if (file.empty()) {
        return ExportKey(root, key, out, err);
    }
    std::ostringstream text;
    const int result = ExportKey(root, key, text, err);
    if (result != kRegOk) {
        return result;
    }
    std::ofstream to(file, std::ios::binary | std::ios::trunc);
    to << text.str();
    to.close();
    if (!to) {
        err << "vemlo-reg: cannot write '" << file << "'\n";
        return kRegFailed;
    }
    return kRegOk;
}

} // namespace

namespace {

// Only the SQLite hives have a file to set up.
std::string SetUpHelp() {
#ifdef _WIN32
    return {};
#else
    return R"(  init-machine-hive   as the owner of the machine hive's folder (root): makes the folder, the
                      hive and its journal, or takes over a hive that a user made, keeping its
                      contents; anything there that is not a store is renamed aside. Running it
                      again changes nothing. Exit status 0 when the hive is set up, 3 when not.
)";
#endif
}

} // namespace

std::string RegUsage() {
    return "usage: vemlo-reg [--user|--machine] get KEY [NAME] | set KEY NAME VALUE | "
           "delete KEY | list KEY | export KEY [FILE] | import FILE"
#ifndef _WIN32
           " | init-machine-hive"
#endif
        ;
}

std::string RegHelp() {
    return RegUsage() + R"(

  get KEY [NAME]      prints the value (NAME left out: the key's default value)
  set KEY NAME VALUE  stores the value, creating missing keys (names of at most 255 characters)
  delete KEY          deletes the key with everything below it, all or nothing
  export KEY [FILE]   writes the key and everything below it to FILE (standard output without
                      it) in a text format that import reads: "VEMLO-REG EXPORT 1", then per
                      key a line ["PATH"] and its values as in list
  import FILE         checks the whole FILE ("-": standard input), then writes it all or
                      nothing; adds and overwrites, deletes nothing
  list KEY            one line per entry: sub-keys as "NAME"\, then values as "NAME"="VALUE",
                      the default value as @="VALUE"; in quotes, \ and " are escaped with \,
                      line breaks and tabs are \n, \r and \t, other control characters
                      \xHH or \u{HHHH}
)" + SetUpHelp() +
           R"(
The machine hive is the default. Exit status: 0 success; 1 the value is absent or empty, the
key is absent, or a top-level key was only emptied; 2 usage error or a malformed import
file; 3 the store could not be
read or written (locked, broken, full, no access). Messages go to stderr, one line each.)";
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
    if (command == "import" && count == 2) {
        return Import(root, rest[1], err);
    }
    if (count >= 2 && !platform::IsValidKeyPath(rest[1])) {
        err << "vemlo-reg: not a valid key path: '" << rest[1] << "'\n";
        return kRegUsage;
    }
    if (command == "get" && (count == 2 || count == 3)) {
        const vemlo::ReadFailureMark mark;
        const auto value = vemlo::RegReadString(root, rest[1], count == 3 ? rest[2] : "", 0);
        if (mark.failed()) {
            return StoreFailed(err, "cannot read the value", mark.detail());
        }
        if (value.empty()) {
            err << "vemlo-reg: no value (absent or empty)\n";
            return kRegFailed;
        }
        out << value << "\n";
        return kRegOk;
    }
    if (command == "set" && count == 4) {
        if (!platform::IsCreatableKeyPath(rest[1])) {
            err << "vemlo-reg: a key name is longer than " << platform::kMaxKeyNameUnits
                << " characters\n";
            return kRegUsage;
        }
        if (!vemlo::RegWriteString(root, rest[1], rest[2], rest[3])) {
            return StoreFailed(err, "the value was not stored", vemlo::LastWriteFailure());
        }
        return kRegOk;
    }
    if (command == "delete" && count == 2) {
        return Delete(root, rest[1], err);
    }
    if (command == "export" && (count == 2 || count == 3)) {
        return Export(root, rest[1], count == 3 ? rest[2] : "", out, err);
    }
    if (command == "list" && count == 2) {
        return List(root, rest[1], out, err);
    }
    return usage();
}
