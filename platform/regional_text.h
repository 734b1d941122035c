#pragma once

#include "platform/clock.h"
#include "platform/regional_settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The first character of a pattern that is no pattern letter and no blank; fallback if none.
char PatternSeparator(std::string_view pattern, char fallback);

std::string FormatDate(const RegionalFormats& formats, const LocalDateTime& moment);
std::string FormatTime(const RegionalFormats& formats, const LocalDateTime& moment);
// The short date, a blank and the long time; the date alone at exactly midnight.
std::string FormatDateTime(const RegionalFormats& formats, const LocalDateTime& moment);

// A time of day: hours and minutes with or without seconds (and milliseconds), in the user's
// separator, with the morning or afternoon text where the user's clock has one. The date part
// of the result is the zero date, 30 December 1899.
std::optional<LocalDateTime> ParseTime(const RegionalFormats& formats, std::string_view text);
// A date in the order of the short date with its separator, optionally followed by a blank and
// a time as ParseTime reads it; or a time alone, on the zero date.
std::optional<LocalDateTime> ParseDateTime(const RegionalFormats& formats, std::string_view text);

} // namespace platform
