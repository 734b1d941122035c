#include "platform/linux/std_file_system.h"
#include "tests/support/toolkit_fixture.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class StdFileSystemTest : public ::testing::Test {
protected:
    testing_support::TempFolder folder;
    platform::StdFileSystem files{{"lager.udl", "--x"}};

    std::string at(const std::string& name) const { return folder.file(name); }
};

TEST_F(StdFileSystemTest, ListsMatchingNamesInTheFolderOrderIgnoringCase) {
    for (const auto* name : {"a.udl", "B.UDL", "c.Udl", ".udl", "d.udl.bak", "e.txt", "udl"}) {
        testing_support::WriteFileBytes(at(name), "");
    }
    fs::create_directory(at("f.udl"));
    std::vector<std::string> inFolderOrder;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        const auto name = entry.path().filename().string();
        if (name != "d.udl.bak" && name != "e.txt" && name != "udl") {
            inFolderOrder.push_back(name);
        }
    }
    EXPECT_EQ(files.listNames(folder.path().string(), "*.udl"), inFolderOrder);
    EXPECT_EQ(inFolderOrder.size(), 5u);
}

TEST_F(StdFileSystemTest, AMissingFolderListsNothing) {
    EXPECT_TRUE(files.listNames(at("saknas"), "*.udl").empty());
}

TEST_F(StdFileSystemTest, CreatesAnEmptyFileAndKeepsAnExistingOne) {
    EXPECT_FALSE(files.createEmptyFile(at("ny.udl")));
    EXPECT_TRUE(files.fileExists(at("ny.udl")));
    EXPECT_EQ(fs::file_size(at("ny.udl")), 0u);
    testing_support::WriteFileBytes(at("gammal.udl"), "innehåll");
    EXPECT_FALSE(files.createEmptyFile(at("gammal.udl")));
    EXPECT_EQ(testing_support::ReadFileBytes(at("gammal.udl")), "innehåll");
}

TEST_F(StdFileSystemTest, CreationFailuresAreReported) {
    EXPECT_EQ(files.createEmptyFile(at("saknas/ny.udl")), std::errc::no_such_file_or_directory);
    fs::create_directory(at("mapp"));
    EXPECT_TRUE(files.createEmptyFile(at("mapp")));
    EXPECT_TRUE(files.createEmptyFile(at(std::string("a\0b", 3))));
    EXPECT_FALSE(fs::exists(at("a")));
}

// The data links folder may be shared: an entry planted under the new name is refused, never
// followed to create a file elsewhere and never waited on.
TEST_F(StdFileSystemTest, APlantedLinkOrFifoIsRefusedWithoutFollowingOrWaiting) {
    fs::create_directory(at("annan"));
    fs::create_symlink(at("annan/skapad"), at("länk.udl"));
    testing_support::WriteFileBytes(at("fil"), "kvar");
    fs::create_symlink(at("fil"), at("till-fil.udl"));
    EXPECT_TRUE(files.createEmptyFile(at("länk.udl")));
    EXPECT_FALSE(fs::exists(at("annan/skapad")));
    EXPECT_TRUE(files.createEmptyFile(at("till-fil.udl")));
    EXPECT_EQ(testing_support::ReadFileBytes(at("fil")), "kvar");

    ASSERT_EQ(::mkfifo(at("fifo.udl").c_str(), 0600), 0);
    auto created =
        std::async(std::launch::async, [&] { return files.createEmptyFile(at("fifo.udl")); });
    const bool returned = created.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!returned) {
        // A reader lets the waiting open go, so that the test ends.
        ::close(::open(at("fifo.udl").c_str(), O_RDONLY | O_NONBLOCK));
    }
    EXPECT_TRUE(returned);
    EXPECT_TRUE(created.get());
    // One that another user holds open for reading is refused as well.
    const int reader = ::open(at("fifo.udl").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(files.createEmptyFile(at("fifo.udl")));
    ::close(reader);
}

TEST_F(StdFileSystemTest, CreatesFoldersWithTheirParents) {
    EXPECT_TRUE(files.createFolders(at("a/b/c")));
    EXPECT_TRUE(files.folderExists(at("a/b/c")));
    EXPECT_TRUE(files.createFolders(at("a/b/c")));
    testing_support::WriteFileBytes(at("fil"), "");
    EXPECT_FALSE(files.createFolders(at("fil/under")));
}

TEST_F(StdFileSystemTest, DeletesFilesOnly) {
    testing_support::WriteFileBytes(at("x.udl"), "");
    fs::create_directory(at("mapp.udl"));
    EXPECT_TRUE(files.deleteFile(at("x.udl")));
    EXPECT_FALSE(fs::exists(at("x.udl")));
    EXPECT_FALSE(files.deleteFile(at("x.udl")));
    EXPECT_FALSE(files.deleteFile(at("mapp.udl")));
    EXPECT_TRUE(fs::is_directory(at("mapp.udl")));
}

TEST_F(StdFileSystemTest, ExistenceFollowsLinksAndTellsFilesFromFolders) {
    testing_support::WriteFileBytes(at("fil"), "");
    fs::create_directory(at("mapp"));
    fs::create_symlink(at("fil"), at("länk"));
    fs::create_symlink(at("borta"), at("död"));
    EXPECT_TRUE(files.fileExists(at("fil")));
    EXPECT_TRUE(files.fileExists(at("länk")));
    EXPECT_FALSE(files.fileExists(at("död")));
    EXPECT_FALSE(files.fileExists(at("mapp")));
    EXPECT_TRUE(files.folderExists(at("mapp")));
    EXPECT_FALSE(files.folderExists(at("fil")));
    EXPECT_FALSE(files.fileExists(at(std::string(10000, 'x'))));
    EXPECT_FALSE(files.fileExists(""));
    EXPECT_FALSE(files.fileExists(std::string("fil\0", 4)));
}

TEST_F(StdFileSystemTest, GivesTheCurrentFolderAndTheArguments) {
    EXPECT_EQ(files.currentFolder(), fs::current_path().string());
    EXPECT_EQ(files.arguments(), (std::vector<std::string>{"lager.udl", "--x"}));
    EXPECT_EQ(files.separator(), '/');
}

} // namespace
