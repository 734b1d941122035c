#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// UTF-8 at the interfaces, UTF-16 at the Windows calls. Widen gives nothing for text that is not
// valid UTF-8; Narrow turns unpaired surrogates into U+FFFD.
std::optional<std::wstring> Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The process's command-line arguments in UTF-8, the program itself not counted; the C runtime's
// argv holds them in the ANSI code page, which loses letters outside it.
std::vector<std::string> Utf8Arguments();

} // namespace platform
