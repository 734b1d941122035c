#pragma once

#include <string_view>

namespace platform {

// The text without the characters at either end for which blank is true.
template <typename IsBlank> std::string_view TrimmedBy(std::string_view text, IsBlank blank) {
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace platform
