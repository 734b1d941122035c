#include "platform/windows/windows_network_names.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

// Paths that are on no mapped network drive, or no paths at all.
class NoUniversalNameTest : public ::testing::TestWithParam<std::string> {};

TEST_P(NoUniversalNameTest, HasNone) {
    EXPECT_EQ(platform::WindowsNetworkNames().universalName(GetParam()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Paths, NoUniversalNameTest,
                         ::testing::Values("C:\\", "C:\\windows\\system32\\", "c:\\windows",
                                           "C:\\" + std::string(400, 'x') + "\\", "mapp\\",
                                           "", "C:\\\xff\\", std::string("C:\\a\0b", 6)));

TEST(WindowsNetworkNames, AnUnmappedDriveHasNone) {
    // The first drive letter that names no drive at all.
    const DWORD drives = GetLogicalDrives();
    char letter = 0;
    for (char c = 'Z'; c >= 'D' && !letter; --c) {
        if (!(drives & (1u << (c - 'A')))) {
            letter = c;
        }
    }
    ASSERT_NE(letter, 0);
    EXPECT_EQ(platform::WindowsNetworkNames().universalName(std::string(1, letter) + ":\\Export\\"),
              std::nullopt);
}

} // namespace
