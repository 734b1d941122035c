#pragma once

#include "config/schedule_values.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumra {

// The period list, position by position, and the two texts that change the weekday controls.
inline const std::array<std::string, 4> kPeriodTexts = {"Dag", "Vecka", "Varanna vecka", "Månad"};
inline const std::string kPeriodEveryDay = kPeriodTexts[0];
inline const std::string kPeriodEveryMonth = kPeriodTexts[3];
// The weekday list, Monday (weekday number 1) first.
inline const std::array<std::string, 7> kWeekdayTexts = {"Måndag", "Tisdag", "Onsdag", "Torsdag",
                                                         "Fredag", "Lördag", "Söndag"};

// A text that is not a date and time where one is needed.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& text);
};

// A stored decimal integer (blanks before it allowed); fallback for anything else.
std::int32_t StoredInteger(const std::string& text, std::int32_t fallback);

// The period list's position for a stored "Period": the codes 1, 7, 14 and 30 give their
// positions, any other number is the position itself, and no number gives position 0.
int PeriodPositionOfStored(const std::string& text);
// The weekday list's position for a stored "Dag": the weekday number less one, -1 for none.
int WeekdayPositionOfStored(const std::string& text);
// A stored time of day, or the given default when the text is not a time.
platform::LocalDateTime TimeOfStored(const platform::RegionalFormats& formats,
                                     const std::string& text, int defaultHour);

// The period code that "Spara" writes for a position of the period list.
std::int32_t PeriodCodeOfPosition(int position);

// The previous run the service is taken to have made when "Prevrun" is empty.
platform::LocalDateTime FirstPreviousRun();

// The same time of day on the following day.
platform::LocalDateTime OneDayLater(const platform::LocalDateTime& moment);

struct NextRun {
    std::string text;
    std::int32_t period = 0;
    std::int32_t weekday = 0;
};

// The next run after the stored previous run, for the positions of the period and weekday lists
// and the export time of day, seen from the moment now. Throws EConvertError when a non-empty
// previous run is no date and time.
NextRun ComputeNextRun(const platform::RegionalFormats& formats, const std::string& storedPrevrun,
                       const platform::LocalDateTime& now, int periodPosition, int weekdayPosition,
                       const platform::LocalDateTime& timeOfDay);

} // namespace lumra
