#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One "Key=Value" pair of a connection string, as written (the key without surrounding blanks,
// the value unquoted).
struct ConnectionStringPair {
    std::string key;
    std::string value;

    friend bool operator==(const ConnectionStringPair&, const ConnectionStringPair&) = default;
};

// The pairs of a connection string in their written order. Keys are compared without regard to
// letter case; when a key is written twice, the later value counts.
struct ConnectionString {
    std::vector<ConnectionStringPair> pairs;

    bool has(std::string_view key) const;
    // The value of the key, "" when the key is absent.
    std::string value(std::string_view key) const;

    friend bool operator==(const ConnectionString&, const ConnectionString&) = default;
};

// Reads "Key=Value;Key=Value". A value may be quoted with " or ' (a doubled quote inside stands
// for one); an unquoted value ends at the next ";" and loses its surrounding blanks. Empty pairs
// are skipped. No value when the text is malformed: a pair without "=", an empty key, a quote
// left open, or other text after a closing quote.
std::optional<ConnectionString> ParseConnectionString(std::string_view text);

// Writes the pairs back in their order, joined by ";". A value that holds ";", a quote, or blanks
// at either end is quoted, so that ParseConnectionString gives the same pairs again.
std::string FormatConnectionString(const ConnectionString& connection);

// Compares two keys without regard to ASCII letter case.
bool SameConnectionStringKey(std::string_view left, std::string_view right);

} // namespace platform
