#include "platform/case_folding.h"

#include "platform/store_text.h"

#include <algorithm>

namespace platform {

namespace {

// The code point at text[i] and its length in bytes; 0 when the bytes there are not UTF-8.
std::size_t Decode(std::string_view text, std::size_t i, char32_t& code) {
    const auto byte = [&](std::size_t at) {
        return static_cast<unsigned char>(text[at]);
    };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    return length;
}

} // namespace

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
        const std::size_t length = Decode(text, i, code);
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
