#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

// Exit codes of vemlo-reg.
inline constexpr int kRegOk = 0;
// Absent or empty value, absent key, or a top-level key that can only be emptied.
inline constexpr int kRegFailed = 1;
inline constexpr int kRegUsage = 2;
// The store could not be read or written (locked, broken, full, no access).
inline constexpr int kRegStoreFailed = 3;

// The largest file import reads; a larger one is refused as a usage error.
inline constexpr std::size_t kRegImportLimitBytes = 16 * 1024 * 1024;

// The command that sets the machine hive up (Linux only; the program itself runs it).
inline constexpr const char* kInitMachineHive = "init-machine-hive";

// Runs one vemlo-reg command over the toolkit's settings primitives:
//   [--user|--machine] get KEY [NAME] | set KEY NAME VALUE | delete KEY | list KEY
//                    | export KEY [FILE] | import FILE
// The machine hive is the default. Results go to out, one-line messages to err; terminal tells
// that out is a terminal, where get escapes control characters.
int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool terminal = false);

// The one-line usage text, for usage errors.
std::string RegUsage();
// The usage text with the commands, the list format and the exit codes, for --help.
std::string RegHelp();
