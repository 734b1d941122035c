#include "platform/connection_string.h"
#include "toolkit/dataproviders/data_link_file.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

// The text as UTF-16LE bytes (the test texts are ASCII or Latin-1 letters written as UTF-8).
std::string Utf16(std::string_view utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        unsigned code = c;
        if (c >= 0xC0) {
            code = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        }
        bytes += static_cast<char>(code & 0xFF);
        bytes += static_cast<char>(code >> 8);
    }
    return bytes;
}

const std::string kHeader = "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n";

struct ReadCase {
    const char* name;
    std::string bytes;
    std::optional<std::string> connection;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kReadCases = {
    ReadCase{"canonical", "\xFF\xFE" + Utf16(kHeader + "Provider=SQLite\r\n"), "Provider=SQLite"},
    ReadCase{"UTF-16 without its mark", Utf16(kHeader + "Provider=SQLite\r\n"), "Provider=SQLite"},
    ReadCase{"UTF-8 with its mark", "\xEF\xBB\xBF" + kHeader + "A=1\r\n", "A=1"},
    ReadCase{"UTF-8 with LF", "[oledb]\n; comment\nA=1\n", "A=1"},
    ReadCase{"no final line break", "[oledb]\r\n; c\r\nA=1", "A=1"},
    ReadCase{"header in capitals, no comment", "[OLEDB]\nA=1\n", "A=1"},
    ReadCase{"non-ASCII letters", "\xFF\xFE" + Utf16(kHeader + "Data Source=Göteborg\r\n"),
             "Data Source=Göteborg"},
    ReadCase{"emoji as a surrogate pair",
             std::string("\xFF\xFE") + Utf16(kHeader + "A=") + std::string("\x3D\xD8\x00\xDE", 4) +
                 Utf16("\r\n"),
             "A=\xF0\x9F\x98\x80"},
    ReadCase{"empty file", "", ""},
    ReadCase{"mark only", "\xFF\xFE", ""},
    ReadCase{"header only", "[oledb]\r\n", ""},
    ReadCase{"blank lines only", "\r\n\r\n", ""},
    ReadCase{"text without a header", "Provider=SQLite\r\n", std::nullopt},
    ReadCase{"two connection strings", "[oledb]\nA=1\nB=2\n", std::nullopt},
    ReadCase{"garbage text", "hello world, no data link here", std::nullopt},
    ReadCase{"binary",
             std::string("\x7F"
                         "ELF\x02\x01\x01\x00\x00\x00",
                         10),
             std::nullopt},
    ReadCase{"odd UTF-16 length", "\xFF\xFE[", std::nullopt},
    ReadCase{"lone surrogate", "\xFF\xFE" + Utf16("[oledb]\r\nA=") + std::string("\x00\xD8", 2),
             std::nullopt},
    ReadCase{"invalid UTF-8", "[oledb]\nA=\xC3\x28\n", std::nullopt},
    ReadCase{"NUL inside", std::string("[oledb]\nA=\0\n", 12), std::nullopt},
};

class ReadDataLinkTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadDataLinkTest, ReadsTolerantly) {
    EXPECT_EQ(vemlo::ReadDataLink(GetParam().bytes), GetParam().connection);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadDataLinkTest, ::testing::ValuesIn(kReadCases));

TEST(DataLinkBytesTest, WritesTheCanonicalForm) {
    EXPECT_EQ(vemlo::DataLinkBytes("Provider=SQLite;Data Source=x.db"),
              "\xFF\xFE" + Utf16(kHeader + "Provider=SQLite;Data Source=x.db\r\n"));
}

TEST(DataLinkBytesTest, RefusesWhatTheFileCannotHold) {
    // Line breaks, no UTF-8, and what would read back as a comment or a blank line.
    for (const auto* text : {"A=1\nB=2", "A=1\r", "A=\xC3\x28", ";A=1", " \t;A=1", "  "}) {
        EXPECT_FALSE(vemlo::DataLinkBytes(text)) << text;
    }
    EXPECT_FALSE(vemlo::DataLinkBytes(std::string("A=\0", 3)));
}

struct RoundTripCase {
    const char* name;
    platform::ConnectionString connection;
    friend void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kRoundTrips = {
    RoundTripCase{"plain", {{{"Provider", "SQLite"}, {"Data Source", "/srv/x.db"}}}},
    RoundTripCase{"semicolon in a value", {{{"Password", "a;b"}}}},
    RoundTripCase{"quotes in a value", {{{"Password", "it's \"quoted\""}}}},
    RoundTripCase{"blanks at the ends", {{{"User ID", "  anna "}}}},
    RoundTripCase{"non-ASCII", {{{"Data Source", "Malmö"}, {"Initial Catalog", "Bokföring"}}}},
    RoundTripCase{"empty", {}},
};

class DataLinkRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(DataLinkRoundTripTest, GivesTheSamePairsBack) {
    const auto& connection = GetParam().connection;
    const auto bytes = vemlo::DataLinkBytes(platform::FormatConnectionString(connection));
    ASSERT_TRUE(bytes);
    const auto text = vemlo::ReadDataLink(*bytes);
    ASSERT_TRUE(text);
    EXPECT_EQ(platform::ParseConnectionString(*text), connection);
}

INSTANTIATE_TEST_SUITE_P(Strings, DataLinkRoundTripTest, ::testing::ValuesIn(kRoundTrips));

} // namespace
