#include "platform/windows/wide_text.h"
#include "platform/windows/windows_network_names.h"
#include "tests/platform/windows/runs_under_wine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// Paths that are on no mapped network drive, or no paths at all.
class NoUniversalNameTest : public ::testing::TestWithParam<std::string> {};

TEST_P(NoUniversalNameTest, HasNone) {
    EXPECT_EQ(platform::WindowsNetworkNames().universalName(GetParam()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Paths, NoUniversalNameTest,
                         ::testing::Values("C:\\", "C:\\windows\\system32\\", "c:\\windows",
                                           "C:\\" + std::string(400, 'x') + "\\", "mapp\\", "",
                                           "C:\\\xff\\", std::string("C:\\a\0b", 6)));

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

// Wine cannot map a share to a drive; the prefix's drive N: is of its "network" type, whose
// universal name Wine gives as the path itself, for folders that exist. That still shows the whole
// name coming back, also one longer than the first room, which Wine refuses without telling the
// size it needs.
TEST(WindowsNetworkNames, ANetworkDriveGivesTheWholeNameHoweverLong) {
    if (!testing_support::RunsUnderWine() || GetDriveTypeW(L"N:\\") != DRIVE_REMOTE) {
        GTEST_SKIP() << "needs the Wine prefix's network drive N: (wine_prefix.sh)";
    }
    // Folders below N:, the deepest last; removed again deepest first, with the prefix that
    // lifts MAX_PATH.
    std::vector<std::string> folders{"N:\\Export\\", "N:\\Lön\\"};
    for (int level = 0; level < 3; ++level) {
        folders.push_back(folders.back() + std::string(100, static_cast<char>('a' + level)) + "\\");
    }
    for (const auto& folder : folders) {
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + *platform::Widen(folder)).c_str(), nullptr))
            << folder;
    }
    ASSERT_GT(folders.back().size(), std::size_t{MAX_PATH});
    for (const auto& path : {folders.front(), folders.back()}) {
        EXPECT_EQ(platform::WindowsNetworkNames().universalName(path), path);
    }
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        EXPECT_TRUE(RemoveDirectoryW((L"\\\\?\\" + *platform::Widen(*folder)).c_str()));
    }
}

} // namespace
