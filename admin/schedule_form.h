#pragma once

#include <string>

namespace lumra {

// The weekday list beside the period list: shown as a list or, for "Månad", as the month's text
// in its place; enabled or not; and the position kept beside it.
struct WeekdayList {
    bool listShown = true;
    bool enabled = true;
    int position = -1;
};

// What a newly shown period text does to the weekday list. "Dag" disables it and selects
// nothing; "Månad" shows the month's text and leaves the list as the period before left it; any
// other period enables it and selects Monday when nothing was selected.
WeekdayList AfterPeriodShown(WeekdayList list, const std::string& periodText);

// The period text that a position of the period list shows: "" past its end, as a list that was
// just filled shows nothing then.
std::string PeriodTextShown(int position);

// The weekday list as the window loads it: from lists just filled, the stored period's text is
// shown (AfterPeriodShown), then the stored weekday's position is selected.
WeekdayList LoadedWeekdayList(int periodPosition, int weekdayPosition);

// "Spara" writes the weekday only while the list is enabled: under "Månad" that depends on the
// period shown before it.
inline bool WeekdayIsWritten(const WeekdayList& list) {
    return list.enabled;
}

} // namespace lumra
