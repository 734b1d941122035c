// The store's text rules on names and values read back from a hive that any user may have
// crafted: UTF-8 decoding agrees between the store and the data link writer, case folding is
// idempotent and keeps UTF-8 valid, and the quoting of vemlo-reg list never lets a control
// character through and reads back as the text.
#include "fuzz/check.h"
#include "platform/case_folding.h"
#include "platform/store_text.h"
#include "platform/terminal_text.h"
#include "toolkit/dataproviders/data_link_file.h"
#include "vemlo-reg/reg_file.h"

#include <cstdint>

namespace {

// A control character of C0, DEL or C1 (in UTF-8) anywhere in the text.
bool HoldsControlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F ||
            (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
             static_cast<unsigned char>(text[i + 1]) <= 0x9F)) {
            return true;
        }
    }
    return false;
}

void CheckDecoding(std::string_view text) {
    const auto units = platform::Utf16Units(text);
    // The data link writer decodes UTF-8 on its own; both must agree on what is UTF-8 and on its
    // length in UTF-16 (the file is a byte-order mark and UTF-16 units).
    // ("A=" first, so that the text is never read as a comment.)
    if (text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos) {
        const auto bytes = vemlo::DataLinkBytes("A=" + std::string(text));
        const auto empty = vemlo::DataLinkBytes("A=");
        Check(units.has_value() == bytes.has_value());
        Check(!bytes || bytes->size() - empty->size() == 2 * *units);
    }
    Check(platform::IsStorableText(text) ==
          (units && *units <= platform::kMaxTextUnits && text.find('\0') == std::string::npos));
    if (platform::IsValidKeyPath(text)) {
        for (const auto& part : platform::SplitKeyPath(text)) {
            Check(!part.empty() && part.find('\\') == std::string::npos);
        }
    }
}

void CheckFolding(std::string_view text) {
    const auto folded = platform::FoldCase(text);
    Check(platform::FoldCase(folded) == folded);
    // Valid UTF-8 stays valid, and bytes that are not UTF-8 stay as they are.
    Check(platform::Utf16Units(folded).has_value() == platform::Utf16Units(text).has_value());
}

void CheckQuoting(std::string_view text) {
    const auto quoted = QuoteRegText(text);
    Check(!HoldsControlCharacter(quoted));
    if (!platform::IsStorableText(text) || text.empty()) {
        return;
    }
    const std::string first = std::string(kRegFileFirstLine) + "\n";
    const auto values = ParseRegFile(first + "[\"Key\"]\n" + quoted + "=" + quoted + "\n");
    Check(!values.error && values.keys.size() == 1 && values.keys[0].values.size() == 1 &&
          values.keys[0].values[0].name == text && values.keys[0].values[0].value == text);
    const auto header = ParseRegFile(first + "[" + quoted + "]\n");
    Check(header.error.has_value() != platform::IsCreatableKeyPath(text));
    Check(header.error || header.keys[0].path == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckDecoding(text);
    CheckFolding(text);
    CheckQuoting(text);
    return 0;
}
