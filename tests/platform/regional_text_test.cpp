#include "platform/memory/fixed_regional_settings.h"
#include "platform/regional_text.h"

#include <array>
#include <gtest/gtest.h>

using platform::LocalDateTime;
using platform::RegionalFormats;

namespace {

struct FormatCase {
    const char* label;
    RegionalFormats formats;
    LocalDateTime moment;
    const char* dateTime;
    const char* time;
};

const std::array kFormatCases = {
    FormatCase{"swedish",
               platform::SwedishFormats(),
               {2014, 10, 29, 6, 0, 0, 0},
               "2014-10-29 06:00:00",
               "06:00:00"},
    FormatCase{"swedish_midnight",
               platform::SwedishFormats(),
               {2013, 1, 1, 0, 0, 0, 0},
               "2013-01-01",
               "00:00:00"},
    FormatCase{"swedish_a_millisecond_past_midnight",
               platform::SwedishFormats(),
               {2013, 1, 1, 0, 0, 0, 1},
               "2013-01-01 00:00:00",
               "00:00:00"},
    FormatCase{"zero_date", platform::SwedishFormats(), {}, "1899-12-30", "00:00:00"},
    FormatCase{"dotted",
               platform::DottedFormats(),
               {2014, 10, 29, 6, 5, 9, 0},
               "29.10.2014 06.05.09",
               "06.05.09"},
    FormatCase{"twelve_hour_morning",
               platform::TwelveHourFormats(),
               {2014, 3, 7, 6, 0, 0, 0},
               "3/7/2014 6:00:00 AM",
               "6:00:00 AM"},
    FormatCase{"twelve_hour_noon",
               platform::TwelveHourFormats(),
               {2014, 3, 7, 12, 30, 0, 0},
               "3/7/2014 12:30:00 PM",
               "12:30:00 PM"},
    FormatCase{"twelve_hour_after_midnight",
               platform::TwelveHourFormats(),
               {2014, 3, 7, 0, 30, 0, 0},
               "3/7/2014 12:30:00 AM",
               "12:30:00 AM"},
    FormatCase{"two_digit_year",
               {"dd/MM/yy", "HH:mm", '/', ':', "", ""},
               {2014, 3, 7, 18, 0, 0, 0},
               "07/03/14 18:00",
               "18:00"},
};

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, WritesTheUsersForms) {
    const auto& row = GetParam();
    EXPECT_EQ(platform::FormatDateTime(row.formats, row.moment), row.dateTime);
    EXPECT_EQ(platform::FormatTime(row.formats, row.moment), row.time);
}

TEST_P(FormatTest, ReadsBackWhatItWrote) {
    const auto& row = GetParam();
    auto expected = row.moment;
    expected.millisecond = 0;
    if (row.formats.longTime.find('s') == std::string::npos) {
        expected.second = 0;
    }
    EXPECT_EQ(platform::ParseDateTime(row.formats, row.dateTime), expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, FormatTest, testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.label); });

struct ParseCase {
    const char* label;
    RegionalFormats formats;
    const char* text;
    std::optional<LocalDateTime> dateTime;
};

const std::array kParseCases = {
    ParseCase{"date_time", platform::SwedishFormats(), "2014-10-29 06:00:00",
              LocalDateTime{2014, 10, 29, 6, 0, 0, 0}},
    ParseCase{"without_seconds", platform::SwedishFormats(), "2014-10-29 06:30",
              LocalDateTime{2014, 10, 29, 6, 30, 0, 0}},
    ParseCase{"date_alone", platform::SwedishFormats(), "2013-01-01",
              LocalDateTime{2013, 1, 1, 0, 0, 0, 0}},
    ParseCase{"single_digits", platform::SwedishFormats(), "2014-3-7 6:05",
              LocalDateTime{2014, 3, 7, 6, 5, 0, 0}},
    ParseCase{"milliseconds", platform::SwedishFormats(), "2014-10-29 06:00:00.25",
              LocalDateTime{2014, 10, 29, 6, 0, 0, 250}},
    ParseCase{"blanks_around", platform::SwedishFormats(), "  2014-10-29   06:00:00 ",
              LocalDateTime{2014, 10, 29, 6, 0, 0, 0}},
    ParseCase{"time_alone_is_on_the_zero_date", platform::SwedishFormats(), "06:00",
              LocalDateTime{1899, 12, 30, 6, 0, 0, 0}},
    ParseCase{"leap_day", platform::SwedishFormats(), "2016-02-29",
              LocalDateTime{2016, 2, 29, 0, 0, 0, 0}},
    ParseCase{"no_leap_day", platform::SwedishFormats(), "2014-02-29", std::nullopt},
    ParseCase{"month_13", platform::SwedishFormats(), "2014-13-01", std::nullopt},
    ParseCase{"hour_24", platform::SwedishFormats(), "2014-10-29 24:00", std::nullopt},
    ParseCase{"minute_60", platform::SwedishFormats(), "2014-10-29 06:60", std::nullopt},
    ParseCase{"hours_alone", platform::SwedishFormats(), "2014-10-29 06", std::nullopt},
    ParseCase{"other_separator", platform::SwedishFormats(), "29.10.2014", std::nullopt},
    ParseCase{"trailing_text", platform::SwedishFormats(), "2014-10-29 06:00:00 x", std::nullopt},
    ParseCase{"empty", platform::SwedishFormats(), "", std::nullopt},
    ParseCase{"word", platform::SwedishFormats(), "igår", std::nullopt},
    ParseCase{"huge_number", platform::SwedishFormats(), "20140-10-29", std::nullopt},
    ParseCase{"dotted", platform::DottedFormats(), "29.10.2014 06.00",
              LocalDateTime{2014, 10, 29, 6, 0, 0, 0}},
    ParseCase{"dotted_time_alone", platform::DottedFormats(), "06.00.00",
              LocalDateTime{1899, 12, 30, 6, 0, 0, 0}},
    ParseCase{"dotted_reads_no_iso", platform::DottedFormats(), "2014-10-29", std::nullopt},
    ParseCase{"twelve_hour_lower_case", platform::TwelveHourFormats(), "10/29/2014 6:00 pm",
              LocalDateTime{2014, 10, 29, 18, 0, 0, 0}},
    ParseCase{"twelve_hour_without_text", platform::TwelveHourFormats(), "10/29/2014 18:00",
              LocalDateTime{2014, 10, 29, 18, 0, 0, 0}},
    ParseCase{"twelve_hour_13_pm", platform::TwelveHourFormats(), "10/29/2014 13:00 PM",
              std::nullopt},
};

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, ReadsWhatTheUsersFormsAllow) {
    const auto& row = GetParam();
    EXPECT_EQ(platform::ParseDateTime(row.formats, row.text), row.dateTime);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseTest, testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ParseTime, TakesNoDate) {
    EXPECT_EQ(platform::ParseTime(platform::SwedishFormats(), "06:00:00"),
              (LocalDateTime{1899, 12, 30, 6, 0, 0, 0}));
    EXPECT_EQ(platform::ParseTime(platform::SwedishFormats(), "2014-10-29 06:00:00"), std::nullopt);
    EXPECT_EQ(platform::ParseTime(platform::SwedishFormats(), ""), std::nullopt);
}

TEST(PatternSeparator, IsTheFirstCharacterThatIsNoField) {
    EXPECT_EQ(platform::PatternSeparator("yyyy-MM-dd", '?'), '-');
    EXPECT_EQ(platform::PatternSeparator("h:mm:ss AP", '?'), ':');
    EXPECT_EQ(platform::PatternSeparator("yyyyMMdd", '?'), '?');
}

} // namespace
