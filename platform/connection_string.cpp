#include "platform/connection_string.h"

#include "platform/trimmed_text.h"

#include <algorithm>

namespace platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trimmed(std::string_view text) {
    return TrimmedBy(text, IsBlank);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// Reads a quoted value starting at text[pos] (the opening quote); pos ends after the closing one.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos) {
    const char quote = text[pos++];
    std::string value;
    while (pos < text.size()) {
        if (text[pos] != quote) {
            value += text[pos++];
        } else if (pos + 1 < text.size() && text[pos + 1] == quote) {
            value += quote;
            pos += 2;
        } else {
            ++pos;
            return value;
        }
    }
    return std::nullopt;
}

bool NeedsQuotes(std::string_view value) {
    if (value.empty()) {
        return false;
    }
    return IsBlank(value.front()) || IsBlank(value.back()) ||
           value.find_first_of(";\"'") != std::string_view::npos;
}

std::string Quoted(std::string_view value) {
    const char quote =
        value.find('"') != std::string_view::npos && value.find('\'') == std::string_view::npos
            ? '\''
            : '"';
    std::string text(1, quote);
    for (const char c : value) {
        text += c;
        if (c == quote) {
            text += c;
        }
    }
    text += quote;
    return text;
}

} // namespace

bool SameConnectionStringKey(std::string_view left, std::string_view right) {
    return std::ranges::equal(left, right,
                              [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

bool ConnectionString::has(std::string_view key) const {
    return std::ranges::any_of(pairs, [key](const ConnectionStringPair& pair) {
        return SameConnectionStringKey(pair.key, key);
    });
}

std::string ConnectionString::value(std::string_view key) const {
    const auto found = std::ranges::find_if(pairs.rbegin(), pairs.rend(), [key](const auto& pair) {
        return SameConnectionStringKey(pair.key, key);
    });
    return found == pairs.rend() ? std::string() : found->value;
}

std::optional<ConnectionString> ParseConnectionString(std::string_view text) {
    ConnectionString connection;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = text.find_first_of(";=", pos);
        if (end == std::string_view::npos || text[end] == ';') {
            if (!Trimmed(text.substr(pos, end - pos)).empty()) {
                return std::nullopt;
            }
            pos = end == std::string_view::npos ? text.size() : end + 1;
            continue;
        }
        const auto key = Trimmed(text.substr(pos, end - pos));
        if (key.empty()) {
            return std::nullopt;
        }
        pos = end + 1;
        while (pos < text.size() && IsBlank(text[pos])) {
            ++pos;
        }
        std::string value;
        if (pos < text.size() && IsQuote(text[pos])) {
            auto quoted = ReadQuoted(text, pos);
            if (!quoted) {
                return std::nullopt;
            }
            value = std::move(*quoted);
            const auto next = std::min(text.find(';', pos), text.size());
            if (!Trimmed(text.substr(pos, next - pos)).empty()) {
                return std::nullopt;
            }
            pos = next;
        } else {
            const auto next = std::min(text.find(';', pos), text.size());
            value = std::string(Trimmed(text.substr(pos, next - pos)));
            pos = next;
        }
        connection.pairs.push_back({std::string(key), std::move(value)});
        if (pos < text.size()) {
            ++pos;
        }
    }
    return connection;
}

std::string FormatConnectionString(const ConnectionString& connection) {
    std::string text;
    for (const auto& pair : connection.pairs) {
        if (!text.empty()) {
            text += ';';
        }
        text += pair.key;
        text += '=';
        text += NeedsQuotes(pair.value) ? Quoted(pair.value) : pair.value;
    }
    return text;
}

} // namespace platform
