#pragma once

#include "platform/regional_settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The formats of the user's locale with the user's own changes to it, read from the system on
// every call. A short date or long time that the pattern letters cannot express (names of months
// or days, an era, a literal pattern letter) gives way to its numeric form in the same order:
// "dd-MMM-yy" is written as "dd-MM-yy", "dddd d MMMM yyyy" as "d-MM-yyyy" with the user's date
// separator.
class WindowsRegionalSettings final : public RegionalSettings {
public:
    RegionalFormats formats() override;
};

// Which of the user's patterns a Windows picture is.
enum class PictureKind { Date, Time };

// A Windows date or time picture (yyyy, MM, dd, HH, hh, mm, ss, tt; quoted text literal) in the
// pattern letters of RegionalFormats: "t" and "tt" become AP, "y" two digits of the year.
// Nothing when the picture holds what those letters cannot express.
std::optional<std::string> PatternOfPicture(std::string_view picture, PictureKind kind);

// The pattern for the user's picture: PatternOfPicture, or else the numeric form of its parts in
// their order with the given separator; the built-in pattern when the picture lacks a part.
std::string PatternOrNumericForm(std::string_view picture, PictureKind kind, char separator);

} // namespace platform
