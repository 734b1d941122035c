#include "platform/linux/mountinfo_network_names.h"
#include "tests/support/toolkit_fixture.h"

#include <gtest/gtest.h>

namespace {

using platform::MountEntry;

const char* const kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "41 22 0:37 / /run/user/1000 rw,nosuid,nodev shared:20 - tmpfs tmpfs rw,size=1624k\n"
    "43 41 0:39 / /run/user/1000/gvfs rw,nosuid,nodev,relatime shared:22 - fuse.gvfsd-fuse "
    "gvfsd-fuse rw,user_id=1000,group_id=1000\n"
    "50 22 0:45 / /mnt/ekonomi\\040delad rw,relatime - cifs //filer/ekonomi rw,vers=3.1.1\n"
    "51 22 0:46 / /mnt/bare rw - nfs4 filer:/export rw\n"
    "this line is no mount\n"
    "52 22 0:47 / /mnt/cut rw shared:3\n";

TEST(ParseMountInfo, TakesMountPointTypeAndSourceAndSkipsWhatDoesNotParse) {
    const auto mounts = platform::ParseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 5u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].type, "ext4");
    EXPECT_EQ(mounts[0].source, "/dev/sda1");
    EXPECT_EQ(mounts[2].mountPoint, "/run/user/1000/gvfs");
    EXPECT_EQ(mounts[2].type, platform::kSessionMountType);
    EXPECT_EQ(mounts[3].mountPoint, "/mnt/ekonomi delad");
    EXPECT_EQ(mounts[3].source, "//filer/ekonomi");
    EXPECT_EQ(mounts[4].type, "nfs4");
}

class MountInfoNetworkNamesTest : public ::testing::Test {
protected:
    testing_support::TempFolder folder;
};

TEST_F(MountInfoNetworkNamesTest, ReadsTheTableAtEachRequest) {
    const auto table = folder.file("mountinfo");
    testing_support::WriteFileBytes(table, kMountInfo);
    platform::MountInfoNetworkNames names(table);
    EXPECT_EQ(names.universalName("/run/user/1000/gvfs/smb-share:server=filer,share=lager/ut/"),
              "//filer/lager/ut/");
    EXPECT_EQ(names.universalName("/mnt/ekonomi delad/ut/"), std::nullopt);
    testing_support::WriteFileBytes(table, "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    EXPECT_EQ(names.universalName("/run/user/1000/gvfs/smb-share:server=filer,share=lager/ut/"),
              std::nullopt);
}

TEST_F(MountInfoNetworkNamesTest, AnUnreadableTableGivesNoUniversalName) {
    platform::MountInfoNetworkNames names(folder.file("missing"));
    EXPECT_EQ(names.universalName("/run/user/1000/gvfs/smb-share:server=S,share=X/"), std::nullopt);
}

TEST_F(MountInfoNetworkNamesTest, TheProcessOwnTableKeepsALocalFolder) {
    platform::MountInfoNetworkNames names;
    EXPECT_EQ(names.universalName(folder.path().string() + "/"), std::nullopt);
}

} // namespace
