#include "platform/linux/regular_file.h"
#include "tests/support/toolkit_fixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

// The permission bits each file had when it was given new ones.
std::vector<mode_t> g_ModesBeforeChange;

} // namespace

// Watches the replacement give the new file its permissions: what it had until then is what a
// reader in a shared folder could have opened it with.
extern "C" int fchmod(int fd, mode_t mode) {
    struct stat status {};
    if (::fstat(fd, &status) == 0) {
        g_ModesBeforeChange.push_back(status.st_mode & 07777);
    }
    return static_cast<int>(::syscall(SYS_fchmod, fd, mode));
}

namespace {

class RegularFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_ModesBeforeChange.clear();
        previousMask = ::umask(022);
    }
    void TearDown() override { ::umask(previousMask); }

    testing_support::TempFolder folder;
    mode_t previousMask = 0;
};

// A file that only its owner may read stays so while it is replaced: the new content is never
// in a file that others could open.
TEST_F(RegularFileTest, AReplacedPrivateFileIsNeverOpenToOthers) {
    const auto path = folder.file("hemlig.udl");
    testing_support::WriteFileBytes(path, "Password=gammalt");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(platform::ReplaceWithRegularFile(path, "Password=nytt"), "");
    EXPECT_EQ(testing_support::ReadFileBytes(path), "Password=nytt");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    ASSERT_FALSE(g_ModesBeforeChange.empty());
    for (const auto mode : g_ModesBeforeChange) {
        EXPECT_EQ(mode & 077, 0u) << std::oct << mode;
    }
}

// A name as long as the file system allows is saved like any other; nothing is left beside it.
TEST_F(RegularFileTest, AFileWithTheLongestNameIsReplaced) {
    const auto path = folder.file(std::string(251, 'x') + ".udl");
    testing_support::WriteFileBytes(path, "gammalt");
    EXPECT_EQ(platform::ReplaceWithRegularFile(path, "nytt"), "");
    EXPECT_EQ(testing_support::ReadFileBytes(path), "nytt");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

} // namespace
