#include "platform/case_folding.h"

#include "platform/store_text.h"

#include <algorithm>

namespace platform {

char32_t FoldCodePoint(char32_t code) {
    if (code >= 'A' && code <= 'Z') {
        return code + 32;
    }
    if (code < 0x80) {
        return code;
    }
    const auto* end = kCaseFolding + kCaseFoldingSize;
    const auto* found =
        std::lower_bound(kCaseFolding, end, code,
                         [](const CaseFoldingPair& pair, char32_t c) { return pair.code < c; });
    return found != end && found->code == code ? found->folded : code;
}

std::string FoldCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        // An overlong form is no UTF-8 either: folding it would turn bytes into another character.
        const std::size_t length = DecodeUtf8(text, i, code);
        if (length == 0) {
            folded += text[i++];
            continue;
        }
        if (length == 1) {
            folded += static_cast<char>(FoldCodePoint(code));
        } else {
            AppendUtf8(folded, FoldCodePoint(code));
        }
        i += length;
    }
    return folded;
}

} // namespace platform
