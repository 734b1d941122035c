#include "platform/connection_string.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using platform::ConnectionString;
using platform::ConnectionStringPair;
using Pairs = std::vector<ConnectionStringPair>;

struct ParseCase {
    const char* text;
    Pairs pairs;
};

class ParseConnectionStringTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseConnectionStringTest, GivesThePairsInOrder) {
    const auto parsed = platform::ParseConnectionString(GetParam().text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->pairs, GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseConnectionStringTest,
    testing::Values(
        ParseCase{"", {}}, ParseCase{" ; ;", {}},
        ParseCase{"Provider=SQLite;Data Source=/tmp/a.db",
                  {{"Provider", "SQLite"}, {"Data Source", "/tmp/a.db"}}},
        ParseCase{"  Provider = SQLite ; ", {{"Provider", "SQLite"}}},
        ParseCase{"Password=", {{"Password", ""}}},
        ParseCase{"Password=\"a;b\";User ID=x", {{"Password", "a;b"}, {"User ID", "x"}}},
        ParseCase{"Password='say \"hi\"'", {{"Password", "say \"hi\""}}},
        ParseCase{"Password=\"it\"\"s\"", {{"Password", "it\"s"}}},
        ParseCase{"Password='it''s'  ;", {{"Password", "it's"}}},
        ParseCase{"Password=\" padded \"", {{"Password", " padded "}}},
        ParseCase{"Extended Properties=\"DSN=x;UID=y\"", {{"Extended Properties", "DSN=x;UID=y"}}},
        ParseCase{"A=b=c", {{"A", "b=c"}}}, ParseCase{"A=it's", {{"A", "it's"}}}));

class MalformedConnectionStringTest : public testing::TestWithParam<const char*> {};

TEST_P(MalformedConnectionStringTest, HasNoValue) {
    EXPECT_FALSE(platform::ParseConnectionString(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedConnectionStringTest,
                         testing::Values("Provider", "Provider=SQLite;junk", "=value", " =value",
                                         "Password=\"open", "Password='x' y", "Password=\"a\"\"",
                                         "A=1;;B"));

TEST(ConnectionStringTest, KeysCompareWithoutLetterCaseAndTheLaterValueCounts) {
    const auto parsed = platform::ParseConnectionString("DATA SOURCE=a;Provider=P;data source=b");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE(parsed->has("Data Source"));
    EXPECT_EQ(parsed->value("Data Source"), "b");
    EXPECT_EQ(parsed->value("PROVIDER"), "P");
    EXPECT_FALSE(parsed->has("User ID"));
    EXPECT_EQ(parsed->value("User ID"), "");
}

struct FormatCase {
    Pairs pairs;
    const char* text;
};

class FormatConnectionStringTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatConnectionStringTest, QuotesOnlyWhatNeedsItAndParsesBack) {
    const ConnectionString connection{GetParam().pairs};
    const auto text = platform::FormatConnectionString(connection);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(platform::ParseConnectionString(text), connection);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, FormatConnectionStringTest,
    testing::Values(FormatCase{{}, ""},
                    FormatCase{{{"Provider", "SQLite"}, {"Data Source", "/tmp/a b.db"}},
                               "Provider=SQLite;Data Source=/tmp/a b.db"},
                    FormatCase{{{"Password", ""}}, "Password="},
                    FormatCase{{{"Password", "a;b"}}, "Password=\"a;b\""},
                    FormatCase{{{"Password", " x"}}, "Password=\" x\""},
                    FormatCase{{{"Password", "x "}}, "Password=\"x \""},
                    FormatCase{{{"Password", "it's"}}, "Password=\"it's\""},
                    FormatCase{{{"Password", "say \"hi\""}}, "Password='say \"hi\"'"},
                    FormatCase{{{"Password", "\"it's\""}}, "Password=\"\"\"it's\"\"\""},
                    FormatCase{{{"A", "b=c"}}, "A=b=c"}));

} // namespace
