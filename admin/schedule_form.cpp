#include "admin/schedule_form.h"

#include "admin/export_schedule.h"

namespace lumra {

WeekdayList AfterPeriodShown(WeekdayList list, const std::string& periodText) {
    list.listShown = periodText != kPeriodEveryMonth;
    if (periodText == kPeriodEveryDay) {
        list.enabled = false;
        list.position = -1;
    } else if (periodText != kPeriodEveryMonth) {
        list.enabled = true;
        if (list.position == -1) {
            list.position = 0;
        }
    }
    return list;
}

std::string PeriodTextShown(int position) {
    if (position < 0 || position >= static_cast<int>(kPeriodTexts.size())) {
        return {};
    }
    return kPeriodTexts[static_cast<std::size_t>(position)];
}

WeekdayList LoadedWeekdayList(int periodPosition, int weekdayPosition) {
    WeekdayList list;
    const std::string shown = PeriodTextShown(periodPosition);
    // Only a text that differs from the empty one of the fresh list raises the change.
    if (!shown.empty()) {
        list = AfterPeriodShown(list, shown);
    }
    list.position = weekdayPosition;
    return list;
}

} // namespace lumra
