#include "platform/windows/wide_text.h"
#include "platform/windows/windows_file_system.h"
#include "tests/support/toolkit_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

class WindowsFileSystemTest : public ::testing::Test {
protected:
    testing_support::TempFolder folder;
    platform::WindowsFileSystem files{{"lager.udl", "--x"}};

    // The UTF-8 path of a name in the folder.
    std::string at(const std::string& name) const {
        return platform::Narrow(folder.path().wstring()) + "\\" + name;
    }
    static void write(const std::string& path, const char* bytes) {
        std::ofstream(fs::path(*platform::Widen(path)), std::ios::binary) << bytes;
    }
    static std::uintmax_t size(const std::string& path) {
        return fs::file_size(*platform::Widen(path));
    }
};

TEST_F(WindowsFileSystemTest, ListsMatchingNamesIgnoringCaseWithTheirLetters) {
    for (const char* name : {"a.udl", "B.UDL", "Lön.udl", "e.txt", "d.udl.bak"}) {
        write(at(name), "");
    }
    ASSERT_TRUE(files.createFolders(at("mapp.udl")));
    auto names = files.listNames(at(""), "*.udl");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.UDL", "Lön.udl", "a.udl", "mapp.udl"}));
    EXPECT_TRUE(files.listNames(at("saknas"), "*.udl").empty());
}

TEST_F(WindowsFileSystemTest, CreatesAnEmptyFileAndKeepsAnExistingOne) {
    EXPECT_FALSE(files.createEmptyFile(at("ny å.udl")));
    EXPECT_TRUE(files.fileExists(at("ny å.udl")));
    EXPECT_EQ(size(at("ny å.udl")), 0u);
    write(at("gammal.udl"), "innehåll");
    EXPECT_FALSE(files.createEmptyFile(at("gammal.udl")));
    EXPECT_EQ(size(at("gammal.udl")), std::string("innehåll").size());
}

TEST_F(WindowsFileSystemTest, RefusesWhatIsNoFileOfItsOwn) {
    EXPECT_TRUE(files.createEmptyFile(at("saknas\\ny.udl")));
    ASSERT_TRUE(files.createFolders(at("mapp")));
    EXPECT_TRUE(files.createEmptyFile(at("mapp")));
    // A device name in any folder is the device.
    EXPECT_TRUE(files.createEmptyFile(at("NUL")));
    EXPECT_TRUE(files.createEmptyFile(at(std::string("a\0b", 3))));
    EXPECT_TRUE(files.createEmptyFile(at("\xff.udl")));
    EXPECT_FALSE(files.fileExists(at("a")));
}

TEST_F(WindowsFileSystemTest, CreatesFoldersAndTellsThemFromFiles) {
    EXPECT_TRUE(files.createFolders(at("ö\\b\\c")));
    EXPECT_TRUE(files.folderExists(at("ö\\b\\c")));
    EXPECT_FALSE(files.fileExists(at("ö\\b\\c")));
    write(at("fil"), "x");
    EXPECT_TRUE(files.fileExists(at("fil")));
    EXPECT_FALSE(files.folderExists(at("fil")));
    EXPECT_FALSE(files.createFolders(at("fil\\under")));
    EXPECT_FALSE(files.fileExists(at("saknas")));
}

TEST_F(WindowsFileSystemTest, DeletesFilesOnly) {
    write(at("fil"), "x");
    EXPECT_TRUE(files.deleteFile(at("fil")));
    EXPECT_FALSE(files.fileExists(at("fil")));
    EXPECT_FALSE(files.deleteFile(at("fil")));
    ASSERT_TRUE(files.createFolders(at("mapp")));
    EXPECT_FALSE(files.deleteFile(at("mapp")));
}

TEST_F(WindowsFileSystemTest, GivesTheCurrentFolderAndTheArguments) {
    wchar_t current[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
    EXPECT_EQ(files.currentFolder(), platform::Narrow(current));
    EXPECT_EQ(files.separator(), '\\');
    EXPECT_EQ(files.arguments(), (std::vector<std::string>{"lager.udl", "--x"}));
}

} // namespace
