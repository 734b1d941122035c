#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A command line that the program does not take; the message says why.
class CtlUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One command line, split into its words (verbs and a configuration's name) and its options.
struct CtlArguments {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    bool json = false;
    bool help = false;

    std::optional<std::string> option(const std::string& name) const;
    bool has(const std::string& name) const { return options.contains(name); }
};

// Options take their value as "--name VALUE" or "--name=VALUE"; "--" ends the options, so a
// configuration's name may begin with a dash. Throws CtlUsageError for an unknown or repeated
// option and for an option without its value.
CtlArguments ParseCtlArguments(const std::vector<std::string>& args);

// Throws CtlUsageError unless every option given is one of allowed and there are count words.
void ExpectShape(const CtlArguments& arguments, std::size_t count,
                 const std::vector<std::string>& allowed);
