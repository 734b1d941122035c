#include "toolkit/dataproviders/data_link_file.h"

#include "platform/store_text.h"
#include "platform/trimmed_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vemlo {

namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// UTF-16LE to UTF-8; nothing for an odd length or a lone surrogate.
std::optional<std::string> FromUtf16(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(++i) - 0xDC00);
        } else if (code >= 0xD800 && code < 0xE000) {
            return std::nullopt;
        }
        platform::AppendUtf8(out, code);
    }
    return out;
}

// The code points of valid UTF-8; nothing for anything else.
std::optional<std::vector<std::uint32_t>> CodePoints(std::string_view text) {
    std::vector<std::uint32_t> codes;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = platform::DecodeUtf8(text, i, code);
        if (length == 0) {
            return std::nullopt;
        }
        codes.push_back(code);
        i += length;
    }
    return codes;
}

void AppendUtf16(std::string& out, std::uint32_t code) {
    const auto unit = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    if (code >= 0x10000) {
        unit(0xD800 + ((code - 0x10000) >> 10));
        unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
        unit(code);
    }
}

// The file's text as UTF-8, whatever of the accepted encodings it is in.
std::optional<std::string> DecodedText(std::string_view bytes) {
    if (bytes.starts_with(kUtf16Mark)) {
        return FromUtf16(bytes.substr(kUtf16Mark.size()));
    }
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    } else if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
        // UTF-16 without its mark: text of this format starts with an ASCII "[".
        return FromUtf16(bytes);
    }
    if (!CodePoints(bytes)) {
        return std::nullopt;
    }
    return std::string(bytes);
}

std::string_view Trimmed(std::string_view line) {
    return platform::TrimmedBy(line, [](char c) { return c == ' ' || c == '\t'; });
}

bool IsHeader(std::string_view line) {
    constexpr std::string_view kHeader = "[oledb]";
    return line.size() == kHeader.size() &&
           std::equal(line.begin(), line.end(), kHeader.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
           });
}

} // namespace

std::optional<std::string> ReadDataLink(std::string_view bytes) {
    const auto text = DecodedText(bytes);
    if (!text || text->find('\0') != std::string::npos) {
        return std::nullopt;
    }
    bool headerSeen = false;
    std::optional<std::string> connection;
    std::size_t start = 0;
    while (start <= text->size()) {
        auto end = text->find('\n', start);
        if (end == std::string::npos) {
            end = text->size();
        }
        std::string_view line(text->data() + start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        start = end + 1;
        const auto content = Trimmed(line);
        if (content.empty() || (headerSeen && content.starts_with(';'))) {
            continue;
        }
        if (!headerSeen && IsHeader(content)) {
            headerSeen = true;
        } else if (headerSeen && !connection) {
            connection = std::string(line);
        } else {
            // Text before the header or a second connection string: not this format.
            return std::nullopt;
        }
    }
    // Blank lines only read as an empty file.
    return connection.value_or("");
}

std::optional<std::string> DataLinkBytes(std::string_view connectionString) {
    if (connectionString.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return std::nullopt;
    }
    // The reader skips blank lines and comments: such a line would read back as no connection.
    const auto content = Trimmed(connectionString);
    if (!connectionString.empty() && (content.empty() || content.starts_with(';'))) {
        return std::nullopt;
    }
    std::string text = "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n";
    text += connectionString;
    text += "\r\n";
    const auto codes = CodePoints(text);
    if (!codes) {
        return std::nullopt;
    }
    std::string bytes(kUtf16Mark);
    for (const auto code : *codes) {
        AppendUtf16(bytes, code);
    }
    return bytes;
}

} // namespace vemlo
