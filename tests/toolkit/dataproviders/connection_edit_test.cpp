#include "toolkit/dataproviders/connection_edit.h"

#include <array>
#include <gtest/gtest.h>

namespace {

struct EditCase {
    const char* name;
    const char* before;
    const char* key;
    const char* value;
    const char* after;
    friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kCases = {
    EditCase{"new key at the end", "Provider=SQLite", "Data Source", "x.db",
             "Provider=SQLite;Data Source=x.db"},
    EditCase{"in place, any case", "provider=A;Data Source=x", "Provider", "B",
             "provider=B;Data Source=x"},
    EditCase{"later copies dropped", "A=1;B=2;a=3", "A", "9", "A=9;B=2"},
    EditCase{"empty removes", "A=1;B=2", "A", "", "B=2"},
    EditCase{"empty for an absent key", "A=1", "B", "", "A=1"},
    EditCase{"quoted when needed", "", "Password", "a;b", "Password=\"a;b\""},
};

class SetConnectionValueTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(SetConnectionValueTest, EditsOneKey) {
    const auto& c = GetParam();
    auto connection = platform::ParseConnectionString(c.before);
    ASSERT_TRUE(connection);
    vemlo::SetConnectionValue(*connection, c.key, c.value);
    EXPECT_EQ(platform::FormatConnectionString(*connection), c.after);
}

INSTANTIATE_TEST_SUITE_P(Edits, SetConnectionValueTest, ::testing::ValuesIn(kCases));

} // namespace
