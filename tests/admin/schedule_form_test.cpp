#include "admin/schedule_form.h"

#include <array>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct PeriodShownCase {
    const char* label;
    lumra::WeekdayList before;
    const char* period;
    lumra::WeekdayList after;
};

void PrintTo(const PeriodShownCase& c, std::ostream* out) {
    *out << c.label;
}

// A period chosen in turn from a state the one before left: the weekday under "Månad" is written
// only when the period before it enabled the list.
const std::array kPeriodShownCases = {
    PeriodShownCase{"day_disables_and_clears", {true, true, 3}, "Dag", {true, false, -1}},
    PeriodShownCase{"week_selects_monday_when_none", {true, false, -1}, "Vecka", {true, true, 0}},
    PeriodShownCase{
        "other_week_keeps_the_weekday", {true, true, 4}, "Varanna vecka", {true, true, 4}},
    PeriodShownCase{
        "month_after_day_stays_disabled", {true, false, -1}, "Månad", {false, false, -1}},
    PeriodShownCase{"month_after_week_stays_enabled", {true, true, 2}, "Månad", {false, true, 2}},
    PeriodShownCase{"week_after_month_shows_the_list", {false, true, 2}, "Vecka", {true, true, 2}},
    PeriodShownCase{"unknown_text_acts_as_a_week", {true, false, -1}, "", {true, true, 0}},
};

class PeriodShownTest : public testing::TestWithParam<PeriodShownCase> {};

TEST_P(PeriodShownTest, SetsTheWeekdayListAsTheWindowShowsIt) {
    const auto& c = GetParam();
    const auto after = lumra::AfterPeriodShown(c.before, c.period);
    EXPECT_EQ(after.listShown, c.after.listShown);
    EXPECT_EQ(after.enabled, c.after.enabled);
    EXPECT_EQ(after.position, c.after.position);
    EXPECT_EQ(lumra::WeekdayIsWritten(after), c.after.enabled);
}

INSTANTIATE_TEST_SUITE_P(Periods, PeriodShownTest, testing::ValuesIn(kPeriodShownCases),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
