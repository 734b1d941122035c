#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/folder_picker.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class FolderPickerTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;
};

TEST_F(FolderPickerTest, AsksTheDialogWithOwnerTitleFolderAndFlags) {
    std::string folder = "/srv/export";
    vemlo::BrowseForFolder(42, folder, "Välj exportkatalog", 117);
    ASSERT_EQ(twins.folders.requests().size(), 1u);
    const auto& request = twins.folders.requests()[0];
    EXPECT_EQ(request.owner, 42u);
    EXPECT_EQ(request.title, "Välj exportkatalog");
    EXPECT_EQ(request.initialFolder, "/srv/export");
    EXPECT_EQ(request.flags, 117u);
    EXPECT_EQ(request.flags & platform::kBrowseOnlyFileSystemFolders,
              platform::kBrowseOnlyFileSystemFolders);
}

TEST_F(FolderPickerTest, CancelLeavesTheFolderAsItWas) {
    std::string folder = "/srv/export";
    twins.folders.answerNext(std::nullopt);
    EXPECT_FALSE(vemlo::BrowseForFolder(0, folder, "t", 117));
    EXPECT_EQ(folder, "/srv/export");
}

TEST_F(FolderPickerTest, AChoiceReplacesTheFolderAsThePlatformGaveIt) {
    std::string folder;
    twins.folders.answerNext("/srv/export/bok");
    EXPECT_TRUE(vemlo::BrowseForFolder(0, folder, "t", 117));
    EXPECT_EQ(folder, "/srv/export/bok");
}

TEST_F(FolderPickerTest, ALongPathIsReturnedWhole) {
    const std::string longest = "/" + std::string(258, 'k');
    std::string folder = "/srv";
    twins.folders.answerNext(longest);
    EXPECT_TRUE(vemlo::BrowseForFolder(0, folder, "t", 117));
    EXPECT_EQ(folder, longest);
}

TEST(FolderPickerWithoutDialog, IsAnError) {
    testing_support::WiredToolkit unwired(vemlo::ToolkitPlatform{});
    std::string folder;
    EXPECT_THROW(vemlo::BrowseForFolder(0, folder, "t", 117), std::logic_error);
}

} // namespace
