#pragma once

#include <string>

namespace platform {

// The user's regional formats for dates and times. Patterns use yyyy/yy year, MM/M month,
// dd/d day, HH/H hour (24 h), hh/h hour (12 h), mm/m minute, ss/s second and AP for the
// morning or afternoon text; every other character stands for itself.
struct RegionalFormats {
    std::string shortDate = "yyyy-MM-dd";
    std::string longTime = "HH:mm:ss";
    char dateSeparator = '-';
    char timeSeparator = ':';
    std::string amText = "AM";
    std::string pmText = "PM";
};

// Where the user's formats come from.
class RegionalSettings {
public:
    virtual ~RegionalSettings() = default;
    // Read again on every call, so a change of the user's settings shows at once.
    virtual RegionalFormats formats() = 0;
};

} // namespace platform
