#pragma once

#include <string>
#include <string_view>

// A name or value as the command-line tools print it: in double quotes, with a backslash before
// "\" and """, line breaks and tabs as \n, \r and \t, and every other control character as \xHH
// (C0 and DEL) or \u{HHHH} (C1), so that one line is always one entry and nothing reaches the
// terminal raw.
std::string QuoteRegText(std::string_view text);

// Text read from a hive as a command-line tool shows it on a terminal: control characters
// escaped as in QuoteRegText, so that nothing reaches the terminal raw; backslashes and quotes
// stay as they are.
std::string EscapeRegControls(std::string_view text);
