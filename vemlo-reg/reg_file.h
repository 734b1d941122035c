#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text format of vemlo-reg export and import, UTF-8 and line-based:
//
//     VEMLO-REG EXPORT 1
//
//     ["SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Timers"]
//     @="the default value"
//     "Period"="7"
//
// The first line names the format. Each key is a section, headed by its full path in quotes
// and square brackets; its values follow, one a line, as "NAME"="VALUE", the default value as
// @="VALUE". Inside the quotes: \\ and \" for a backslash and a quote, \n, \r and \t, and \xHH
// or \u{HHHH} for other characters (any character may be written so). Blank lines and lines
// starting with ";" are ignored; a line may end in a carriage return.

inline constexpr std::string_view kRegFileFirstLine = "VEMLO-REG EXPORT 1";

struct RegFileValue {
    std::string name; // "" for the default value
    std::string value;
};

struct RegFileKey {
    std::string path;
    std::vector<RegFileValue> values;
};

// Writes one key's section.
void WriteRegFileKey(std::ostream& out, const RegFileKey& key);

struct RegFileError {
    std::size_t line;
    std::string what;
};

// The whole file's keys, or the first thing that is wrong with it; a file that parses holds only
// key paths, names and values that any store accepts.
struct RegFileParse {
    std::vector<RegFileKey> keys;
    std::optional<RegFileError> error;
};
RegFileParse ParseRegFile(std::string_view text);
