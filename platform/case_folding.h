#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// One mapping of Unicode's simple case folding.
struct CaseFoldingPair {
    char32_t code;
    char32_t folded;
};

// The generated table (scripts/gen-case-folding), sorted by code, and its Unicode version.
extern const char* const kCaseFoldingUnicodeVersion;
extern const CaseFoldingPair kCaseFolding[];
extern const std::size_t kCaseFoldingSize;

// The code point's simple case folding; the code point itself when it has none.
char32_t FoldCodePoint(char32_t code);

// The store's folding of a name, by which names compare without regard to case: every code point
// of the UTF-8 text replaced by its simple case folding. Bytes that are not valid UTF-8 are kept
// as they are. The same in every backend and every program that reads the files.
std::string FoldCase(std::string_view text);

} // namespace platform
