#pragma once

#include <string>
#include <string_view>

namespace vemlo {

// A file name as the user can read it, in UTF-8: the name itself when it is UTF-8; else its
// bytes taken as Latin-1, the likeliest for a name copied from elsewhere ("lön.udl").
std::string ReadableFileName(std::string_view name);

} // namespace vemlo
