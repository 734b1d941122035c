#include "platform/store_text.h"

namespace platform {

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    code = codePoint;
    return length;
}

std::optional<std::size_t> Utf16Units(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, i, codePoint);
        if (length == 0) {
            return std::nullopt;
        }
        units += codePoint >= 0x10000 ? 2 : 1;
        i += length;
    }
    return units;
}

bool IsStorableText(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        return false;
    }
    const auto units = Utf16Units(text);
    return units && *units <= kMaxTextUnits;
}

bool IsValidKeyPath(std::string_view path) {
    if (path.empty() || !IsStorableText(path)) {
        return false;
    }
    return path.front() != '\\' && path.back() != '\\' &&
           path.find("\\\\") == std::string_view::npos;
}

bool IsKeyName(std::string_view name) {
    return IsValidKeyPath(name) && name.find('\\') == std::string_view::npos;
}

bool FitsBuffer(std::string_view text, std::size_t units) {
    const auto needed = Utf16Units(text);
    return needed && *needed < units;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const auto end = path.find('\\', start);
        parts.emplace_back(path.substr(start, end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

bool IsCreatableKeyPath(std::string_view path) {
    if (!IsValidKeyPath(path)) {
        return false;
    }
    for (const auto& part : SplitKeyPath(path)) {
        if (Utf16Units(part).value_or(kMaxKeyNameUnits + 1) > kMaxKeyNameUnits) {
            return false;
        }
    }
    return true;
}

std::string StandardStatusMessage(Status status) {
    switch (status) {
    case kSuccess:
        return "The operation completed successfully.";
    case kFileNotFound:
        return "The system cannot find the file specified.";
    case kAccessDenied:
        return "Access is denied.";
    case kInvalidHandle:
        return "The handle is invalid.";
    case kInvalidParameter:
        return "The parameter is incorrect.";
    case kBusy:
        return "The requested resource is in use.";
    case kMoreData:
        return "More data is available.";
    case kNoMoreItems:
        return "No more data is available.";
    case kBadDatabase:
        return "The configuration registry database is corrupt.";
    case kRegistryIoFailed:
        return "An I/O operation initiated by the registry failed unrecoverably.";
    case kKeyDeleted:
        return "Illegal operation attempted on a registry key that has been marked for deletion.";
    default:
        return "Unknown error " + std::to_string(status) + ".";
    }
}

std::string UserStatusMessage(Status status) {
    switch (status) {
    case kSuccess:
        return "Åtgärden lyckades.";
    case kFileNotFound:
        return "Nyckeln eller värdet finns inte.";
    case kAccessDenied:
        return "Åtkomst nekad.";
    case kBusy:
        return "Inställningslagret är upptaget: ett annat program håller det låst.";
    case kBadDatabase:
        return "Inställningslagret är skadat eller inte ett inställningslager.";
    case kRegistryIoFailed:
        return "Inställningslagret kunde inte läsas eller skrivas (in- eller utmatningsfel).";
    default:
        return "Inställningslagret svarade med fel " + std::to_string(status) + ".";
    }
}

} // namespace platform
