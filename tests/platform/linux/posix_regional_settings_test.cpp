#include "platform/linux/posix_regional_settings.h"

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <locale.h>
#include <ostream>

namespace {

bool LocaleInstalled(const char* name) {
    locale_t locale = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) {
        return false;
    }
    freelocale(locale);
    return true;
}

TEST(PosixRegionalSettings, SwedishLocaleGivesSwedishForms) {
    if (!LocaleInstalled("sv_SE.UTF-8")) {
        GTEST_SKIP() << "sv_SE.UTF-8 is not installed (scripts/install-deps generates it)";
    }
    const auto formats = platform::FormatsOfLocale("sv_SE.UTF-8");
    EXPECT_EQ(formats.shortDate, "yyyy-MM-dd");
    EXPECT_EQ(formats.longTime, "HH:mm:ss");
    EXPECT_EQ(formats.dateSeparator, '-');
    EXPECT_EQ(formats.timeSeparator, ':');
}

TEST(PosixRegionalSettings, TheUsersLcTimeIsTheOneRead) {
    if (!LocaleInstalled("de_DE.UTF-8")) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/install-deps generates it)";
    }
    ::unsetenv("LC_ALL");
    ::setenv("LANG", "C", 1);
    ::setenv("LC_TIME", "de_DE.UTF-8", 1);
    const auto german = platform::PosixRegionalSettings().formats();
    EXPECT_EQ(german.shortDate, "dd.MM.yyyy");
    EXPECT_EQ(german.dateSeparator, '.');
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(platform::PosixRegionalSettings().formats().shortDate, "yyyy-MM-dd");
}

class PlainLocaleTest : public testing::TestWithParam<const char*> {};

TEST_P(PlainLocaleTest, GivesTheBuiltInForms) {
    const auto formats = platform::FormatsOfLocale(GetParam());
    const platform::RegionalFormats builtIn;
    EXPECT_EQ(formats.shortDate, builtIn.shortDate);
    EXPECT_EQ(formats.longTime, builtIn.longTime);
    EXPECT_EQ(formats.dateSeparator, '-');
    EXPECT_EQ(formats.timeSeparator, ':');
}

INSTANTIATE_TEST_SUITE_P(Locales, PlainLocaleTest,
                         testing::Values("C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"));

struct StrftimeCase {
    const char* strftime;
    const char* pattern;
};

std::ostream& operator<<(std::ostream& out, const StrftimeCase& row) {
    return out << '"' << row.strftime << '"';
}

const std::array kStrftimeCases = {
    StrftimeCase{"%Y-%m-%d", "yyyy-MM-dd"},
    StrftimeCase{"%d.%m.%Y", "dd.MM.yyyy"},
    StrftimeCase{"%m/%d/%y", "MM/dd/yy"},
    StrftimeCase{"%D", "MM/dd/yy"},
    StrftimeCase{"%T", "HH:mm:ss"},
    StrftimeCase{"%r", "hh:mm:ss AP"},
    StrftimeCase{"%I:%M:%S %p", "hh:mm:ss AP"},
    StrftimeCase{"%e.%-m.%Y", "d.MM.yyyy"},
    StrftimeCase{"%a %d %b %Y", ""},
    StrftimeCase{"%", ""},
};

class StrftimeTest : public testing::TestWithParam<StrftimeCase> {};

TEST_P(StrftimeTest, BecomesAPatternOrNothing) {
    EXPECT_EQ(platform::PatternOfStrftime(GetParam().strftime), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(Patterns, StrftimeTest, testing::ValuesIn(kStrftimeCases));

} // namespace
