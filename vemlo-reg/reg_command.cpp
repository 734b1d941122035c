#include "vemlo-reg/reg_command.h"

#include "platform/settings_store.h"
#include "platform/store_deadline.h"
#include "platform/store_text.h"
#include "platform/terminal_text.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"
#include "vemlo-reg/reg_store.h"
#include "vemlo-reg/reg_transfer.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace {

int Delete(vemlo::RegRoot root, const std::string& key, std::ostream& err) {
    vemlo::DeleteRegKey(root, key);
    auto& store = vemlo::SettingsStore();
    vemlo::OpenedKey left;
    const auto status = store.openKey(vemlo::HiveOf(root), key, left.handle());
    if (status == platform::kFileNotFound) {
        return kRegOk;
    }
    if (status != platform::kSuccess) {
        return RegStoreFailed(err, "the key was not deleted", store.messageFor(status));
    }
    if (key.find('\\') == std::string::npos) {
        err << "vemlo-reg: a top-level key is only emptied, it was not deleted itself\n";
        return kRegFailed;
    }
    const auto& why = vemlo::LastWriteFailure();
    return RegStoreFailed(err, "the key was not deleted",
                          why.empty() ? "it is still there after the deletion" : why);
}

int List(vemlo::RegRoot root, const std::string& key, std::ostream& out, std::ostream& err) {
    vemlo::OpenedKey opened;
    if (const int result = OpenRegKey(root, key, opened, err)) {
        return result;
    }
    auto status = EachRegSubKey(
        opened.get(), [&](const std::string& name) { out << QuoteRegText(name) << "\\\n"; });
    if (status == platform::kNoMoreItems) {
        status = EachRegValue(opened.get(), [&](const std::string& name, const std::string& value) {
            out << (name.empty() ? "@" : QuoteRegText(name)) << "=" << QuoteRegText(value) << "\n";
        });
    }
    if (status != platform::kNoMoreItems) {
        return RegStoreFailed(err, "the listing is incomplete",
                              vemlo::SettingsStore().messageFor(status));
    }
    return kRegOk;
}

int Import(vemlo::RegRoot root, const std::string& file, std::ostream& err) {
    std::ifstream opened;
    if (file != "-") {
        opened.open(file, std::ios::binary);
        if (!opened) {
            err << "vemlo-reg: cannot read '" << file << "': " << std::strerror(errno) << "\n";
            return kRegFailed;
        }
    }
    std::istream& in = file == "-" ? std::cin : opened;
    // One byte past the limit tells a file at the limit from a larger one.
    std::string text(kRegImportLimitBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        err << "vemlo-reg: cannot read '" << file << "'\n";
        return kRegFailed;
    }
    if (text.size() > kRegImportLimitBytes) {
        err << "vemlo-reg: " << file << ": file too large (more than "
            << kRegImportLimitBytes / (1024 * 1024) << " MiB); nothing was imported\n";
        return kRegUsage;
    }
    return ImportText(root, text, file == "-" ? "(standard input)" : file, err);
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
        // The cause, a full disk say, is named: the file may now be cut short.
        err << "vemlo-reg: cannot write '" << file << "': " << std::strerror(errno) << "\n";
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

  get KEY [NAME]      prints the value (NAME left out: the key's default value); on a terminal
                      control characters are escaped as in list, to a pipe or a file the value
                      goes out exactly
  set KEY NAME VALUE  stores the value, creating missing keys (names of at most 255 characters;
                      names and values of at most 1024 characters, valid UTF-8)
  delete KEY          deletes the key with everything below it, all or nothing
  export KEY [FILE]   writes the key and everything below it to FILE (standard output without
                      it) in a text format that import reads: "VEMLO-REG EXPORT 1", then per
                      key a line ["PATH"] and its values as in list
  import FILE         checks the whole FILE ("-": standard input; at most 16 MiB, UTF-8, a
                      byte-order mark allowed), then writes it all or nothing; adds and
                      overwrites, deletes nothing
  list KEY            one line per entry: sub-keys as "NAME"\, then values as "NAME"="VALUE",
                      the default value as @="VALUE"; in quotes, \ and " are escaped with \,
                      line breaks and tabs are \n, \r and \t, other control characters
                      \xHH or \u{HHHH}
)" + SetUpHelp() +
           R"(
The machine hive is the default. A command that finds the store locked by another program waits
at most five seconds in all. Exit status: 0 success; 1 the value is absent or empty, the key is
absent, or a top-level key was only emptied; 2 usage error, a name or value that is too long or
not UTF-8, or a malformed or too large import file; 3 the store could not be read or written
(locked, broken, full, holding what no store holds, no access), or init-machine-hive could not set
the hive up. Messages go to stderr, one line each.)";
}

int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool terminal) {
    // One command waits for locks and runs statements at most one budget in all.
    const platform::ActionBudget budget;
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
    const auto badText = [&] {
        err << "vemlo-reg: a name or value is longer than " << platform::kMaxTextUnits
            << " characters, not valid UTF-8 or holds a NUL character\n";
        return kRegUsage;
    };
    if (command == "get" && (count == 2 || count == 3)) {
        if (count == 3 && !platform::IsStorableText(rest[2])) {
            return badText();
        }
        const vemlo::ReadFailureMark mark;
        const auto value = vemlo::RegReadString(root, rest[1], count == 3 ? rest[2] : "", 0);
        if (mark.failed()) {
            return RegStoreFailed(err, "cannot read the value", mark.detail());
        }
        if (value.empty()) {
            err << "vemlo-reg: no value (absent or empty)\n";
            return kRegFailed;
        }
        // Exact bytes to a pipe or a file; nothing raw to a terminal.
        out << (terminal ? EscapeRegControls(value) : value) << "\n";
        return kRegOk;
    }
    if (command == "set" && count == 4) {
        if (!platform::IsCreatableKeyPath(rest[1])) {
            err << "vemlo-reg: a key name is longer than " << platform::kMaxKeyNameUnits
                << " characters\n";
            return kRegUsage;
        }
        if (!platform::IsStorableText(rest[2]) || !platform::IsStorableText(rest[3])) {
            return badText();
        }
        if (!vemlo::RegWriteString(root, rest[1], rest[2], rest[3])) {
            return RegStoreFailed(err, "the value was not stored", vemlo::LastWriteFailure());
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
