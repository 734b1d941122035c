// Connection strings from data link files and the editor: any text parses or is refused, and the
// formatted form of what parses parses back to the same pairs.
#include "fuzz/check.h"
#include "platform/connection_string.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = platform::ParseConnectionString(text);
    if (!parsed) {
        return 0;
    }
    for (const auto& pair : parsed->pairs) {
        Check(!pair.key.empty() && parsed->has(pair.key));
    }
    const auto formatted = platform::FormatConnectionString(*parsed);
    const auto again = platform::ParseConnectionString(formatted);
    Check(again && *again == *parsed && platform::FormatConnectionString(*again) == formatted);
    return 0;
}
