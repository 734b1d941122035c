#include "platform/network_names.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using platform::MountEntry;

const std::vector<MountEntry> kMounts = {
    {.mountPoint = "/", .type = "ext4", .source = "/dev/sda1"},
    {.mountPoint = "/run/user/1000/gvfs", .type = "fuse.gvfsd-fuse", .source = "gvfsd-fuse"},
    {.mountPoint = "/mnt/cifs", .type = "cifs", .source = "//filer/export"},
    {.mountPoint = "/mnt/nfs", .type = "nfs4", .source = "filer:/export"},
    {.mountPoint = "Z:", .type = "network drive", .source = "\\\\server\\share"},
    {.mountPoint = "Y:", .type = "network drive", .source = "\\\\filer\\ekonomi\\"},
    {.mountPoint = "C:", .type = "NTFS", .source = "C:"},
};

struct NameCase {
    const char* label;
    const char* path;
    std::optional<std::string> universal;
};

const NameCase kCases[] = {
    {"mapped drive", "Z:\\Export\\", "\\\\server\\share\\Export\\"},
    {"mapped drive in lower case", "z:\\Export\\Bok\\", "\\\\server\\share\\Export\\Bok\\"},
    {"mapped drive root", "Z:\\", "\\\\server\\share\\"},
    {"share given with a trailing backslash", "Y:\\Lön\\", "\\\\filer\\ekonomi\\Lön\\"},
    {"local drive", "C:\\Export\\", std::nullopt},
    {"unmapped drive", "Q:\\Export\\", std::nullopt},
    {"UNC path already", "\\\\server\\share\\Export\\", std::nullopt},
    {"session share", "/run/user/1000/gvfs/smb-share:server=S,share=X/rest/", "//S/X/rest/"},
    {"session share with more keys",
     "/run/user/1000/gvfs/smb-share:domain=D,server=filer,share=ekonomi,user=U/a/b/",
     "//filer/ekonomi/a/b/"},
    {"keys in another order", "/run/user/1000/gvfs/smb-share:share=X,user=U,server=S/r/",
     "//S/X/r/"},
    {"share folder itself", "/run/user/1000/gvfs/smb-share:server=S,share=X/", "//S/X/"},
    {"share folder without separator", "/run/user/1000/gvfs/smb-share:server=S,share=X", "//S/X"},
    {"escaped blank in the share", "/run/user/1000/gvfs/smb-share:server=S,share=L%C3%B6n%20A/",
     "//S/Lön A/"},
    {"share without a server", "/run/user/1000/gvfs/smb-share:share=X/r/", std::nullopt},
    {"server without a share", "/run/user/1000/gvfs/smb-server:server=S/", std::nullopt},
    {"another kind of session mount", "/run/user/1000/gvfs/sftp:host=h,user=u/home/", std::nullopt},
    {"the session mount point itself", "/run/user/1000/gvfs/", std::nullopt},
    {"a look-alike folder of another user's session",
     "/run/user/1001/gvfs/smb-share:server=S,share=X/r/", std::nullopt},
    {"a look-alike name on a local disk", "/home/u/gvfs/smb-share:server=S,share=X/", std::nullopt},
    {"a look-alike mount point prefix", "/run/user/1000/gvfsx/smb-share:server=S,share=X/",
     std::nullopt},
    {"kernel CIFS mount", "/mnt/cifs/export/", std::nullopt},
    {"kernel NFS mount", "/mnt/nfs/export/", std::nullopt},
    {"local folder", "/home/u/export/", std::nullopt},
    {"relative path", "export/", std::nullopt},
    {"empty path", "", std::nullopt},
};

// Test names show the row's label, not its bytes.
void PrintTo(const NameCase& row, std::ostream* out) {
    *out << row.label;
}

class UniversalNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(UniversalNameTest, FollowsTheMountTable) {
    const auto& row = GetParam();
    EXPECT_EQ(platform::UniversalNameOf(row.path, kMounts), row.universal);
}

INSTANTIATE_TEST_SUITE_P(Paths, UniversalNameTest, ::testing::ValuesIn(kCases),
                         testing_support::LabelAsCaseName());

TEST(UniversalNameWithoutMounts, NothingHasAUniversalName) {
    EXPECT_EQ(platform::UniversalNameOf("/run/user/1000/gvfs/smb-share:server=S,share=X/", {}),
              std::nullopt);
    EXPECT_EQ(platform::UniversalNameOf("Z:\\Export\\", {}), std::nullopt);
}

} // namespace
