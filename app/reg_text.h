#pragma once

#include <string>
#include <string_view>

// A name or value as vemlo-reg prints it: in double quotes, with a backslash before "\" and
// """, line breaks and tabs as \n, \r and \t, and every other control character as \xHH (C0 and
// DEL) or \u{HHHH} (C1), so that one line is always one entry and nothing reaches the terminal
// raw.
std::string QuoteRegText(std::string_view text);
