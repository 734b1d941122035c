#include "ctl/ctl_arguments.h"

#include <algorithm>
#include <array>

namespace {

const std::array<std::string, 10> kValueOptions = {
    "--period", "--day",          "--time",   "--restart", "--restart-time",
    "--name",   "--dataprovider", "--folder", "--file",    "--slot"};

} // namespace

std::optional<std::string> CtlArguments::option(const std::string& name) const {
    const auto found = options.find(name);
    if (found == options.end()) {
        return std::nullopt;
    }
    return found->second;
}

CtlArguments ParseCtlArguments(const std::vector<std::string>& args) {
    CtlArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !arg.starts_with('-') || arg == "-") {
            parsed.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            parsed.json = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else {
            const auto equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            if (std::find(kValueOptions.begin(), kValueOptions.end(), name) ==
                kValueOptions.end()) {
                throw CtlUsageError("unknown option '" + name + "'");
            }
            std::string value;
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                throw CtlUsageError("the option " + name + " needs a value");
            }
            if (!parsed.options.emplace(name, value).second) {
                throw CtlUsageError("the option " + name + " is given twice");
            }
        }
    }
    return parsed;
}

void ExpectShape(const CtlArguments& arguments, std::size_t count,
                 const std::vector<std::string>& allowed) {
    for (const auto& [name, value] : arguments.options) {
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            throw CtlUsageError("this command takes no option " + name);
        }
    }
    if (arguments.words.size() != count) {
        throw CtlUsageError(arguments.words.size() < count
                                ? "missing argument"
                                : "unexpected argument '" + arguments.words[count] + "'");
    }
}
