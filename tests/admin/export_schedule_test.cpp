#include "admin/export_schedule.h"
#include "platform/memory/fixed_regional_settings.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

using platform::LocalDateTime;

namespace {

constexpr LocalDateTime kWednesday{2014, 10, 29, 12, 0, 0, 0};
constexpr LocalDateTime kSix{1899, 12, 30, 6, 0, 0, 0};

// The list positions for the period codes and weekday numbers.
constexpr int kEveryDay = 0;
constexpr int kEveryWeek = 1;
constexpr int kEveryOtherWeek = 2;
constexpr int kEveryMonth = 3;
constexpr int kNone = -1;
constexpr int kMonday = 0;
constexpr int kWednesdayPosition = 2;
constexpr int kFriday = 4;

struct NextRunCase {
    const char* label;
    const char* prevrun;
    LocalDateTime now;
    int periodPosition;
    int weekdayPosition;
    LocalDateTime time;
    const char* text;
    std::int32_t period;
    std::int32_t weekday;
    platform::RegionalFormats formats = platform::SwedishFormats();
};

const std::array kNextRunCases = {
    NextRunCase{"nothing_stored_every_day", "", kWednesday, kEveryDay, kNone, kSix,
                "2014-10-30 06:00:00", 1, 0},
    NextRunCase{"every_day_run_earlier_today", "2014-10-29 05:00:00", kWednesday, kEveryDay, kNone,
                kSix, "2014-10-30 06:00:00", 1, 0},
    NextRunCase{"every_day_run_ahead", "2014-11-01 05:00:00", kWednesday, kEveryDay, kNone, kSix,
                "2014-11-02 06:00:00", 1, 0},
    NextRunCase{"every_day_run_at_todays_midnight_is_not_later", "2014-10-29", kWednesday,
                kEveryDay, kNone, kSix, "2014-10-30 06:00:00", 1, 0},
    NextRunCase{"every_day_over_the_year_end",
                "",
                {2014, 12, 31, 8, 0, 0, 0},
                kEveryDay,
                kNone,
                kSix,
                "2015-01-01 06:00:00",
                1,
                0},
    NextRunCase{"every_week_monday_lies_in_the_past", "2014-10-26 06:00:00", kWednesday, kEveryWeek,
                kMonday, kSix, "2014-10-27 06:00:00", 7, 1},
    NextRunCase{"every_week_friday_of_next_week", "", kWednesday, kEveryWeek, kFriday, kSix,
                "2014-11-07 06:00:00", 7, 5},
    NextRunCase{"every_week_no_weekday_is_the_sunday_before", "", kWednesday, kEveryWeek, kNone,
                kSix, "2014-11-02 06:00:00", 7, 0},
    NextRunCase{"every_week_from_a_sunday",
                "",
                {2014, 11, 2, 8, 0, 0, 0},
                kEveryWeek,
                kMonday,
                kSix,
                "2014-11-03 06:00:00",
                7,
                1},
    NextRunCase{"every_week_weekday_past_sunday", "", kWednesday, kEveryWeek, 9, kSix,
                "2014-11-12 06:00:00", 7, 10},
    NextRunCase{"every_week_weekday_below_monday", "", kWednesday, kEveryWeek, -3, kSix,
                "2014-10-31 06:00:00", 7, -2},
    NextRunCase{"every_other_week_long_ago", "", kWednesday, kEveryOtherWeek, kMonday, kSix,
                "2014-11-10 06:00:00", 14, 1},
    NextRunCase{"every_other_week_from_the_previous_run", "2014-10-20 06:00:00", kWednesday,
                kEveryOtherWeek, kWednesdayPosition, kSix, "2014-11-05 06:00:00", 14, 3},
    NextRunCase{"every_month_run_today",
                "2014-10-31 06:00:00",
                {2014, 10, 31, 9, 0, 0, 0},
                kEveryMonth,
                kNone,
                kSix,
                "2014-10-31 06:00:00",
                30,
                0},
    NextRunCase{"every_month_run_in_september",
                "2014-09-30 06:00:00",
                {2014, 10, 15, 9, 0, 0, 0},
                kEveryMonth,
                kMonday,
                kSix,
                "2014-10-31 06:00:00",
                30,
                1},
    NextRunCase{"every_month_in_december",
                "",
                {2014, 12, 5, 9, 0, 0, 0},
                kEveryMonth,
                kNone,
                kSix,
                "2014-12-31 06:00:00",
                30,
                0},
    NextRunCase{"every_month_leap_february",
                "",
                {2016, 2, 10, 9, 0, 0, 0},
                kEveryMonth,
                kNone,
                kSix,
                "2016-02-29 06:00:00",
                30,
                0},
    NextRunCase{
        "midnight_gives_the_date_alone", "", kWednesday, kEveryDay, kNone, {}, "2014-10-30", 1, 0},
    NextRunCase{"position_4_has_no_day", "", kWednesday, 4, kNone, kSix, "1899-12-30", 90, 0},
    NextRunCase{"position_5_has_no_day", "", kWednesday, 5, kNone, kSix, "1899-12-30", 180, 0},
    NextRunCase{"no_period_has_no_day", "", kWednesday, kNone, kNone, kSix, "1899-12-30", 0, 0},
    NextRunCase{"position_past_the_codes", "", kWednesday, 9, kNone, kSix, "1899-12-30", 10, 0},
    NextRunCase{"time_keeps_what_its_text_shows",
                "",
                kWednesday,
                kEveryDay,
                kNone,
                {1899, 12, 30, 6, 0, 30, 0},
                "2014-10-30 06:00",
                1,
                0,
                {"yyyy-MM-dd", "HH:mm", '-', ':', "", ""}},
    NextRunCase{"dotted_forms", "29.10.2014 05.00.00", kWednesday, kEveryDay, kNone, kSix,
                "30.10.2014 06.00.00", 1, 0, platform::DottedFormats()},
    NextRunCase{"twelve_hour_forms",
                "10/26/2014 6:00:00 AM",
                kWednesday,
                kEveryWeek,
                kMonday,
                {1899, 12, 30, 18, 0, 0, 0},
                "10/27/2014 6:00:00 PM",
                7,
                1,
                platform::TwelveHourFormats()},
};

class ComputeNextRunTest : public testing::TestWithParam<NextRunCase> {};

TEST_P(ComputeNextRunTest, GivesTheTextAndTheCodes) {
    const auto& row = GetParam();
    const auto next = lumra::ComputeNextRun(row.formats, row.prevrun, row.now, row.periodPosition,
                                            row.weekdayPosition, row.time);
    EXPECT_EQ(next.text, row.text);
    EXPECT_EQ(next.period, row.period);
    EXPECT_EQ(next.weekday, row.weekday);
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, ComputeNextRunTest, testing::ValuesIn(kNextRunCases),
                         [](const auto& info) { return std::string(info.param.label); });

class BadPrevrunTest : public testing::TestWithParam<const char*> {};

TEST_P(BadPrevrunTest, RaisesTheConversionError) {
    try {
        lumra::ComputeNextRun(platform::SwedishFormats(), GetParam(), kWednesday, kEveryDay, kNone,
                              kSix);
        FAIL() << "no error";
    } catch (const lumra::EConvertError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "'" + std::string(GetParam()) + "' is not a valid date and time");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, BadPrevrunTest,
                         testing::Values("x", "2014-10-29 25:00", "29.10.2014", " "));

struct IntegerCase {
    const char* text;
    std::int32_t period;
    int periodPosition;
    int weekdayPosition;
};

std::ostream& operator<<(std::ostream& out, const IntegerCase& row) {
    return out << '"' << row.text << '"';
}

const std::array kIntegerCases = {
    IntegerCase{"", 99, 0, -1},
    IntegerCase{"1", 1, 0, 0},
    IntegerCase{"7", 7, 1, 6},
    IntegerCase{"14", 14, 2, 13},
    IntegerCase{"30", 30, 3, 29},
    IntegerCase{"2", 2, 2, 1},
    IntegerCase{"5", 5, 5, 4},
    IntegerCase{"0", 0, 0, -1},
    IntegerCase{"-1", -1, -1, -2},
    IntegerCase{" 7", 7, 1, 6},
    IntegerCase{"+3", 3, 3, 2},
    IntegerCase{"7 ", 99, 0, -1},
    IntegerCase{"1.0", 99, 0, -1},
    IntegerCase{"Vecka", 99, 0, -1},
    IntegerCase{"-", 99, 0, -1},
    IntegerCase{"2147483647", 2147483647, 2147483647, 2147483646},
    IntegerCase{"2147483648", 99, 0, -1},
    IntegerCase{"-2147483648", std::numeric_limits<std::int32_t>::min(),
                std::numeric_limits<std::int32_t>::min(), -1},
    IntegerCase{"99999999999999999999", 99, 0, -1},
};

class StoredIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(StoredIntegerTest, ConvertsAndGivesThePositions) {
    const auto& row = GetParam();
    EXPECT_EQ(lumra::StoredInteger(row.text, 99), row.period);
    EXPECT_EQ(lumra::PeriodPositionOfStored(row.text), row.periodPosition);
    EXPECT_EQ(lumra::WeekdayPositionOfStored(row.text), row.weekdayPosition);
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredIntegerTest, testing::ValuesIn(kIntegerCases));

struct PeriodCodeCase {
    int position;
    std::int32_t code;
};

std::ostream& operator<<(std::ostream& out, const PeriodCodeCase& row) {
    return out << "position " << row.position;
}

class PeriodCodeTest : public testing::TestWithParam<PeriodCodeCase> {};

TEST_P(PeriodCodeTest, MapsThePosition) {
    EXPECT_EQ(lumra::PeriodCodeOfPosition(GetParam().position), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Positions, PeriodCodeTest,
                         testing::Values(PeriodCodeCase{-1, 0}, PeriodCodeCase{0, 1},
                                         PeriodCodeCase{1, 7}, PeriodCodeCase{2, 14},
                                         PeriodCodeCase{3, 30}, PeriodCodeCase{4, 90},
                                         PeriodCodeCase{5, 180}, PeriodCodeCase{6, 7},
                                         PeriodCodeCase{-5, -4},
                                         PeriodCodeCase{std::numeric_limits<int>::max(),
                                                        std::numeric_limits<std::int32_t>::min()}));

struct TimeCase {
    const char* text;
    int defaultHour;
    int hour;
    int minute;
    int second;
};

std::ostream& operator<<(std::ostream& out, const TimeCase& row) {
    return out << '"' << row.text << "\" default " << row.defaultHour;
}

class TimeOfStoredTest : public testing::TestWithParam<TimeCase> {};

TEST_P(TimeOfStoredTest, ParsesOrTakesTheDefault) {
    const auto& row = GetParam();
    const auto time = lumra::TimeOfStored(platform::SwedishFormats(), row.text, row.defaultHour);
    EXPECT_EQ(time, (LocalDateTime{1899, 12, 30, row.hour, row.minute, row.second, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeOfStoredTest,
    testing::Values(TimeCase{"06:00:00", 1, 6, 0, 0}, TimeCase{"07:30", 6, 7, 30, 0},
                    TimeCase{"23:59:59", 6, 23, 59, 59}, TimeCase{"", 6, 6, 0, 0},
                    TimeCase{"", 1, 1, 0, 0}, TimeCase{"25:00", 6, 6, 0, 0},
                    TimeCase{"06.00.00", 1, 1, 0, 0}, TimeCase{"2014-10-29 06:00", 6, 6, 0, 0}));

TEST(OneDayLater, KeepsTheTimeOverMonthAndYearEnds) {
    EXPECT_EQ(lumra::OneDayLater({2014, 12, 31, 23, 59, 58, 7}),
              (LocalDateTime{2015, 1, 1, 23, 59, 58, 7}));
    EXPECT_EQ(lumra::OneDayLater({2016, 2, 28, 6, 0, 0, 0}),
              (LocalDateTime{2016, 2, 29, 6, 0, 0, 0}));
}

} // namespace
