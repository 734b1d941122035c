#include "admin/export_folder.h"
#include "platform/memory/memory_file_system.h"
#include "tests/support/case_names.h"
#include "tests/support/toolkit_fixture.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

struct FolderCase {
    const char* label;
    char separator;
    const char* current;
    const char* chosen;
    const char* stored;
};

const FolderCase kCases[] = {
    {"local folder gains the separator", '/', "/home/u", "/srv/export", "/srv/export/"},
    {"local folder keeps its separator", '/', "/home/u", "/srv/export/", "/srv/export/"},
    {"root", '/', "/home/u", "/", "/"},
    {"relative folder from the current one", '/', "/home/u", "export", "/home/u/export/"},
    {"session share in universal form", '/', "/home/u",
     "/run/user/1000/gvfs/smb-share:domain=D,server=filer,share=ekonomi,user=U/bok",
     "//filer/ekonomi/bok/"},
    {"session share folder itself", '/', "/home/u",
     "/run/user/1000/gvfs/smb-share:server=filer,share=ekonomi", "//filer/ekonomi/"},
    {"kernel CIFS mount stays", '/', "/home/u", "/mnt/cifs/bok", "/mnt/cifs/bok/"},
    {"mapped drive in UNC form", '\\', "C:\\Program", "Z:\\Export", "\\\\server\\share\\Export\\"},
    {"mapped drive root", '\\', "C:\\Program", "Z:\\", "\\\\server\\share\\"},
    {"local drive keeps its letter", '\\', "C:\\Program", "C:\\Export", "C:\\Export\\"},
    {"relative Windows folder", '\\', "C:\\Program", "Export", "C:\\Program\\Export\\"},
};

// Test names show the row's label, not its bytes.
void PrintTo(const FolderCase& row, std::ostream* out) {
    *out << row.label;
}

class ExportFolderTest : public ::testing::TestWithParam<FolderCase> {
protected:
    testing_support::ToolkitTwins twins;
};

TEST_P(ExportFolderTest, IsStoredAsTheServiceSeesIt) {
    const auto& row = GetParam();
    platform::MemoryFileSystem files(row.separator);
    files.setCurrentFolder(row.current);
    twins.networkNames.mounts = {
        {.mountPoint = "/", .type = "ext4", .source = "/dev/sda1"},
        {.mountPoint = "/run/user/1000/gvfs", .type = "fuse.gvfsd-fuse", .source = "gvfsd-fuse"},
        {.mountPoint = "/mnt/cifs", .type = "cifs", .source = "//filer/bok"},
        {.mountPoint = "Z:", .type = "network drive", .source = "\\\\server\\share"},
    };
    auto services = twins.wiring();
    services.fileSystem = &files;
    twins.wire(services);
    EXPECT_EQ(lumra::UniversalExportFolder(row.chosen), row.stored);
}

INSTANTIATE_TEST_SUITE_P(Folders, ExportFolderTest, ::testing::ValuesIn(kCases),
                         testing_support::LabelAsCaseName());

} // namespace
