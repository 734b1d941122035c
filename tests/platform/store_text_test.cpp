#include "platform/store_text.h"

#include <array>
#include <gtest/gtest.h>
#include <string_view>

namespace {

// Every store answers a read through these two rules, so they are held here once for all.
struct BufferCase {
    std::string_view text;
    std::size_t units;
    bool fits;
};

// The terminating zero takes a unit; a character past U+FFFF takes two.
constexpr std::array kBufferCases{
    BufferCase{"", 0, false},
    BufferCase{"", 1, true},
    BufferCase{"abc", 3, false},
    BufferCase{"abc", 4, true},
    BufferCase{"\xF0\x9F\x98\x80", 2, false},
    BufferCase{"\xF0\x9F\x98\x80", 3, true},
    // An overlong slash: no buffer is large enough for what is no text.
    BufferCase{"\xC0\xAF", 1024, false},
};

TEST(StoreTextTest, TextFitsACallersBufferWithItsTerminatingZero) {
    for (const auto& c : kBufferCases) {
        EXPECT_EQ(platform::FitsBuffer(c.text, c.units), c.fits) << c.text << " in " << c.units;
    }
}

TEST(StoreTextTest, ASubKeyNameIsOneComponentOfAKeyPath) {
    EXPECT_TRUE(platform::IsKeyName("Timers"));
    for (const std::string_view name : {"", "A\\B", "\\A", "A\\", "\xC0\xAF"}) {
        EXPECT_FALSE(platform::IsKeyName(name)) << name;
    }
}

} // namespace
