// Dates and times as the schedule stores them in the machine hive, where any user may write them:
// any text parses or is refused, and a parsed value formats and parses back to itself. The first
// byte picks the regional formats: the built-in ones, the Swedish ones, and two others with
// another order, separator and clock.
#include "fuzz/check.h"
#include "platform/memory/fixed_regional_settings.h"
#include "platform/regional_text.h"

#include <array>
#include <cstdint>

namespace {

const std::array kFormats = {platform::RegionalFormats{}, platform::SwedishFormats(),
                             platform::DottedFormats(), platform::TwelveHourFormats()};

// What the formats write of the moment: no milliseconds, and no seconds without them.
platform::LocalDateTime Written(const platform::RegionalFormats& formats,
                                platform::LocalDateTime moment) {
    moment.millisecond = 0;
    if (formats.longTime.find('s') == std::string::npos) {
        moment.second = 0;
    }
    return moment;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto& formats = kFormats[data[0] % kFormats.size()];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (const auto moment = platform::ParseDateTime(formats, text)) {
        const auto again = platform::ParseDateTime(formats, FormatDateTime(formats, *moment));
        Check(again == Written(formats, *moment));
    }
    if (const auto time = platform::ParseTime(formats, text)) {
        Check(time->year == 1899 && time->month == 12 && time->day == 30);
        const auto again = platform::ParseTime(formats, FormatTime(formats, *time));
        Check(again == Written(formats, *time));
    }
    return 0;
}
