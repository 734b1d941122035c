#pragma once

#include "platform/regional_settings.h"

namespace platform {

// Swedish regional settings: 2014-10-29 and 06:00:00.
inline RegionalFormats SwedishFormats() {
    return {"yyyy-MM-dd", "HH:mm:ss", '-', ':', "", ""};
}

// Day first with dots in both: 29.10.2014 and 06.00.00.
inline RegionalFormats DottedFormats() {
    return {"dd.MM.yyyy", "HH.mm.ss", '.', '.', "", ""};
}

// Month first on a twelve-hour clock: 10/29/2014 and 6:00:00 AM.
inline RegionalFormats TwelveHourFormats() {
    return {"M/d/yyyy", "h:mm:ss AP", '/', ':', "AM", "PM"};
}

// Formats that only the test changes.
class FixedRegionalSettings : public RegionalSettings {
public:
    RegionalFormats formats() override { return formats_; }
    void set(const RegionalFormats& formats) { formats_ = formats; }

private:
    RegionalFormats formats_ = SwedishFormats();
};

} // namespace platform
