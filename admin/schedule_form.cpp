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

} // namespace lumra
