#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit codes of vemlo-reg.
inline constexpr int kRegOk = 0;
inline constexpr int kRegFailed = 1;
inline constexpr int kRegUsage = 2;

// Runs one vemlo-reg command over the toolkit's settings primitives:
//   [--user|--machine] get KEY [NAME] | set KEY NAME VALUE | delete KEY | list KEY
// The machine hive is the default. Results go to out, one-line messages to err.
int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text, for --help and usage errors.
std::string RegUsage();
