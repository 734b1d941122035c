#include "platform/linux/xdg_shell_folders.h"
#include "tests/support/toolkit_fixture.h"

#include <array>
#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char* name;
    int folder;
    const char* vemlo;   // VEMLO_APPDATA or VEMLO_COMMON_FILES, nullptr: unset
    const char* xdgData; // XDG_DATA_HOME, nullptr: unset
    const char* home;    // HOME, nullptr: unset
    const char* expected;
    friend void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kCases = {
    FolderCase{"app data overridden", platform::kFolderAppData, "/demo/appdata/", "/x", "/home/a",
               "/demo/appdata"},
    FolderCase{"app data from XDG", platform::kFolderAppData, nullptr, "/xdg/data", "/home/a",
               "/xdg/data"},
    FolderCase{"relative XDG ignored", platform::kFolderAppData, nullptr, "rel", "/home/a",
               "/home/a/.local/share"},
    FolderCase{"app data in home", platform::kFolderAppData, nullptr, nullptr, "/home/a",
               "/home/a/.local/share"},
    FolderCase{"app data unknown", platform::kFolderAppData, nullptr, nullptr, nullptr, ""},
    FolderCase{"common overridden", platform::kFolderProgramFilesCommon, "/demo/common", nullptr,
               "/home/a", "/demo/common"},
    FolderCase{"common default", platform::kFolderProgramFilesCommon, nullptr, "/xdg", "/home/a",
               "/usr/local/share/vemlo/common"},
    FolderCase{"other folders unknown", 5, nullptr, nullptr, "/home/a", ""},
};

class XdgShellFoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(XdgShellFoldersTest, FollowsTheEnvironment) {
    const auto& c = GetParam();
    testing_support::SetEnvironment("VEMLO_APPDATA",
                                    c.folder == platform::kFolderAppData ? c.vemlo : nullptr);
    testing_support::SetEnvironment(
        "VEMLO_COMMON_FILES", c.folder == platform::kFolderProgramFilesCommon ? c.vemlo : nullptr);
    testing_support::SetEnvironment("XDG_DATA_HOME", c.xdgData);
    testing_support::SetEnvironment("HOME", c.home);
    platform::XdgShellFolders folders;
    EXPECT_EQ(folders.specialFolderPath(c.folder), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, XdgShellFoldersTest, ::testing::ValuesIn(kCases));

} // namespace
