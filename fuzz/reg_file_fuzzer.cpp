// The import format of vemlo-reg: any file parses or is refused with a line number, and whatever
// parses exports and imports back to the same keys and values.
#include "fuzz/check.h"
#include "platform/store_text.h"
#include "vemlo-reg/reg_file.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

namespace {

bool SameKeys(const std::vector<RegFileKey>& a, const std::vector<RegFileKey>& b) {
    const auto sameValue = [](const RegFileValue& x, const RegFileValue& y) {
        return x.name == y.name && x.value == y.value;
    };
    return std::ranges::equal(a, b, [&](const RegFileKey& x, const RegFileKey& y) {
        return x.path == y.path && std::ranges::equal(x.values, y.values, sameValue);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = ParseRegFile(text);
    if (parsed.error) {
        Check(parsed.keys.empty() && parsed.error->line >= 1 && !parsed.error->what.empty());
        return 0;
    }
    std::ostringstream exported;
    exported << kRegFileFirstLine << "\n";
    for (const auto& key : parsed.keys) {
        Check(platform::IsCreatableKeyPath(key.path));
        for (const auto& value : key.values) {
            Check(platform::IsStorableText(value.name) && platform::IsStorableText(value.value));
        }
        WriteRegFileKey(exported, key);
    }
    const auto again = ParseRegFile(exported.str());
    Check(!again.error && SameKeys(again.keys, parsed.keys));
    return 0;
}
