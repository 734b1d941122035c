#include "vemlo-reg/reg_file.h"

#include "platform/store_text.h"
#include "platform/terminal_text.h"

#include <charconv>
#include <ostream>

void WriteRegFileKey(std::ostream& out, const RegFileKey& key) {
    out << "\n[" << QuoteRegText(key.path) << "]\n";
    for (const auto& value : key.values) {
        out << (value.name.empty() ? "@" : QuoteRegText(value.name)) << "="
            << QuoteRegText(value.value) << "\n";
    }
}

namespace {

// Reads a quoted text at line[at] and moves at past it; nothing, with why, when it is not one.
std::optional<std::string> Unquote(std::string_view line, std::size_t& at, std::string& why) {
    if (at >= line.size() || line[at] != '"') {
        why = "a quoted text was expected";
        return std::nullopt;
    }
    std::string text;
    for (++at; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"') {
            ++at;
            return text;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            why = "a control character must be written as an escape";
            return std::nullopt;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++at >= line.size()) {
            break;
        }
        const char e = line[at];
        const char* simple = nullptr;
        switch (e) {
        case '\\':
            simple = "\\";
            break;
        case '"':
            simple = "\"";
            break;
        case 'n':
            simple = "\n";
            break;
        case 'r':
            simple = "\r";
            break;
        case 't':
            simple = "\t";
            break;
        default:
            break;
        }
        if (simple) {
            text += simple;
            continue;
        }
        std::size_t digits = 0;
        std::size_t start = at + 1;
        if (e == 'x') {
            digits = 2;
        } else if (e == 'u' && at + 1 < line.size() && line[at + 1] == '{') {
            start = at + 2;
            digits =
                line.find('}', start) == std::string_view::npos ? 0 : line.find('}', start) - start;
        }
        std::uint32_t code = 0;
        const auto* first = line.data() + start;
        const auto* last = first + digits;
        if (digits == 0 || digits > 6 || start + digits > line.size() ||
            std::from_chars(first, last, code, 16).ptr != last || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            why = std::string("a bad escape \\") + e;
            return std::nullopt;
        }
        platform::AppendUtf8(text, code);
        at = start + digits - (e == 'x' ? 1 : 0);
    }
    why = "the closing quote is missing";
    return std::nullopt;
}

} // namespace

RegFileParse ParseRegFile(std::string_view text) {
    RegFileParse result;
    const auto fail = [&](std::size_t line, std::string what) {
        result.keys.clear();
        result.error = RegFileError{line, std::move(what)};
        return result;
    };
    std::size_t number = 0;
    bool first = true;
    for (std::size_t start = 0; start < text.size() || first;) {
        const auto end = std::min(text.find('\n', start), text.size());
        auto line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (first) {
            first = false;
            if (line != kRegFileFirstLine) {
                return fail(number, "not an export of vemlo-reg (the first line must be \"" +
                                        std::string(kRegFileFirstLine) + "\")");
            }
            continue;
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        std::string why;
        std::size_t at = 0;
        if (line.front() == '[') {
            at = 1;
            auto path = Unquote(line, at, why);
            if (!path) {
                return fail(number, why);
            }
            if (at + 1 != line.size() || line[at] != ']') {
                return fail(number, "a key header must end in \"]\"");
            }
            if (!platform::IsCreatableKeyPath(*path)) {
                return fail(number, "not a valid key path (empty, too long, or a key name longer "
                                    "than 255 characters)");
            }
            result.keys.push_back({std::move(*path), {}});
            continue;
        }
        if (result.keys.empty()) {
            return fail(number, "a value before the first key header");
        }
        std::string name;
        if (line.front() == '@') {
            at = 1;
        } else if (auto quoted = Unquote(line, at, why)) {
            name = std::move(*quoted);
            if (name.empty()) {
                return fail(number, "the default value is written @=, not \"\"=");
            }
        } else {
            return fail(number, why);
        }
        if (at >= line.size() || line[at] != '=') {
            return fail(number, "\"=\" was expected after the name");
        }
        ++at;
        auto value = Unquote(line, at, why);
        if (!value) {
            return fail(number, why);
        }
        if (at != line.size()) {
            return fail(number, "text after the value");
        }
        if (!platform::IsStorableText(name) || !platform::IsStorableText(*value)) {
            return fail(number, "a name or value longer than 1024 characters, not UTF-8 or with "
                                "a NUL character");
        }
        result.keys.back().values.push_back({std::move(name), std::move(*value)});
    }
    return result;
}
