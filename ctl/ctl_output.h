#pragma once

#include "config/lumra_configs.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

// Keys keep the order they are given in.
using CtlJson = nlohmann::ordered_json;

// Where a command writes: results to out, one-line messages to err.
struct CtlStreams {
    std::ostream& out;
    std::ostream& err;
};

// Text read from the hive as it is printed.
std::string Shown(const std::string& text);

// "caption: value" on a line of its own, indented.
void PrintField(const CtlStreams& streams, const std::string& caption, const std::string& value,
                int indent = 0);

// One configuration as a line of a list: its slot, a tab, its name.
void PrintConfigLine(const CtlStreams& streams, int slot, const std::string& name, int indent = 0);

// A configuration with its slot, keyed by the store's value names.
CtlJson ConfigJson(int slot, const lumra::TLumraConfig& config);

// JSON escapes every control character itself; text that is not UTF-8 gets replacement
// characters rather than ending the program.
void PrintJson(const CtlStreams& streams, const CtlJson& value);

// Writes the message to err, its line breaks as blanks, and gives the exit code.
int Fail(const CtlStreams& streams, int code, const std::string& message);

// A read that failed: nothing is shown or changed on what was read half (exit code 3).
int IncompleteRead(const CtlStreams& streams, const std::string& problem);
