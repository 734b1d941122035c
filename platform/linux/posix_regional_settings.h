#pragma once

#include "platform/regional_settings.h"

#include <string>

namespace platform {

// The formats of the user's LC_TIME locale (LC_ALL, then LC_TIME, then LANG). The C and POSIX
// locales, and a locale that is not installed, give the built-in year-month-day formats.
class PosixRegionalSettings : public RegionalSettings {
public:
    RegionalFormats formats() override;
};

// The formats of one named locale; the built-in ones for C, POSIX or a missing locale.
RegionalFormats FormatsOfLocale(const std::string& localeName);

// The strftime pattern of the C library turned into the pattern letters of RegionalFormats;
// empty when it holds a field that those cannot express (month names, for example).
std::string PatternOfStrftime(const std::string& strftimePattern);

} // namespace platform
