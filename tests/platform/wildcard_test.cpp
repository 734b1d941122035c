#include "platform/file_system.h"

#include <array>
#include <gtest/gtest.h>

namespace {

struct WildcardCase {
    const char* name;
    const char* pattern;
    bool matches;
    friend void PrintTo(const WildcardCase& c, std::ostream* os) {
        *os << '"' << c.name << "\" ~ \"" << c.pattern << '"';
    }
};

const std::array kCases = {
    WildcardCase{"lager.udl", "*.udl", true}, WildcardCase{"LAGER.UDL", "*.udl", true},
    WildcardCase{"Lager.Udl", "*.UDL", true}, WildcardCase{".udl", "*.udl", true},
    WildcardCase{"a.udl.udl", "*.udl", true}, WildcardCase{"lager.udl.bak", "*.udl", false},
    WildcardCase{"lagerudl", "*.udl", false}, WildcardCase{"udl", "*.udl", false},
    WildcardCase{"", "*.udl", false},         WildcardCase{"", "*", true},
    WildcardCase{"åäö.udl", "*.udl", true},   WildcardCase{"a.udl", "?.udl", true},
    WildcardCase{"ab.udl", "?.udl", false},   WildcardCase{"abc", "a*b*c", true},
    WildcardCase{"abbbc", "a*b*c", true},     WildcardCase{"acb", "a*b*c", false},
};

class WildcardTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, MatchesIgnoringCase) {
    const auto& c = GetParam();
    EXPECT_EQ(platform::MatchesWildcard(c.name, c.pattern), c.matches)
        << c.name << " ~ " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(Patterns, WildcardTest, ::testing::ValuesIn(kCases));

} // namespace
