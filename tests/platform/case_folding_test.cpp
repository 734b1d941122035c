#include "platform/case_folding.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct Folding {
    const char* name;
    const char* text;
    const char* folded;
    friend void PrintTo(const Folding& c, std::ostream* os) { *os << c.name; }
};

class CaseFoldingTest : public ::testing::TestWithParam<Folding> {};

TEST_P(CaseFoldingTest, FoldsByUnicodesSimpleFolding) {
    EXPECT_EQ(platform::FoldCase(GetParam().text), GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(Texts, CaseFoldingTest,
                         ::testing::Values(Folding{"Ascii", "DataProvider-7", "dataprovider-7"},
                                           Folding{"Swedish", "ÅÄÖ åäö", "åäö åäö"},
                                           Folding{"GreekFinalSigma", "ΣΟΦΙΑς", "σοφιασ"},
                                           Folding{"SharpSIsKept", "Straße", "straße"},
                                           Folding{"CapitalSharpS", "ẞ", "ß"},
                                           Folding{"DottedCapitalIIsItsOwn", "İzmir", "İzmir"},
                                           Folding{"KelvinSign", "K", "k"},
                                           Folding{"CherokeeFoldsToCapitals", "ᏸ", "Ᏸ"},
                                           Folding{"Deseret", "𐐀", "𐐨"},
                                           Folding{"NotUtf8IsKept",
                                                   "A\xff"
                                                   "B",
                                                   "a\xff"
                                                   "b"},
                                           Folding{"OverlongFormsAreKept",
                                                   "\xC1\x81\xE0\x81\x81\xC0\x80",
                                                   "\xC1\x81\xE0\x81\x81\xC0\x80"},
                                           Folding{"Empty", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CaseFoldingTable, IsSortedAndNamesItsVersion) {
    EXPECT_STREQ(platform::kCaseFoldingUnicodeVersion, "15.0.0");
    EXPECT_GT(platform::kCaseFoldingSize, 1400u);
    EXPECT_TRUE(std::is_sorted(platform::kCaseFolding,
                               platform::kCaseFolding + platform::kCaseFoldingSize,
                               [](const auto& a, const auto& b) { return a.code < b.code; }));
}

} // namespace
