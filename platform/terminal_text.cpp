#include "platform/terminal_text.h"

#include <cstdio>

namespace {

std::string Escaped(std::string_view text, bool quoting) {
    std::string quoted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char hex[12];
        if (quoting && (c == '\\' || c == '"')) {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            quoted += hex;
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            std::snprintf(hex, sizeof hex, "\\u{%04X}", static_cast<unsigned char>(text[++i]));
            quoted += hex;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted;
}

} // namespace

std::string QuoteRegText(std::string_view text) {
    return "\"" + Escaped(text, true) + "\"";
}

std::string EscapeRegControls(std::string_view text) {
    return Escaped(text, false);
}
