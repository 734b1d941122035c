#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/environment.h"
#include "toolkit/settings/shared_settings.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

const std::string kLinks = "/opt/common/System/Ole DB/Data Links/";
const std::string kAppData = "/home/anna/.local/share";

struct KeyCase {
    const char* name;
    const char* folder;
    const char* key;
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kKeyCases = {
    KeyCase{"drive folder with a blank", "D:\\Apps\\Export Admin\\", "D_Apps_Export_Admin\\"},
    KeyCase{"drive root", "C:\\", "C\\"},
    KeyCase{"network folder", "\\\\server\\share\\Export\\", "__server_share_Export\\"},
    KeyCase{"folder with a blank", "/home/anna/Export Admin/", "_home_anna_Export_Admin\\"},
    KeyCase{"colon", "/srv/a:b/", "_srv_ab\\"},
    KeyCase{"file-system root", "/", "_\\"},
};

class ProgramKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ProgramKeyTest, ComesFromTheProgramFolder) {
    EXPECT_EQ(vemlo::ProgramKeyFor(GetParam().folder), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Folders, ProgramKeyTest, ::testing::ValuesIn(kKeyCases));

class EnvironmentTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;
    platform::MemoryFileSystem& files = twins.files;

    void SetUp() override {
        twins.shellFolders.set(platform::kFolderProgramFilesCommon, "/opt/common");
        twins.shellFolders.set(platform::kFolderAppData, kAppData);
        files.createFolders(kAppData);
    }

    void storeDefault(const std::string& name) {
        // Stored under the key of the program folder, as InitEnvironment will derive it.
        vemlo::g_ProgramKey = vemlo::ProgramKeyFor(files.currentFolder());
        vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", name);
    }
};

struct DefaultCase {
    const char* name;
    std::optional<std::string> stored;
    std::vector<std::string> existing;
    std::vector<std::string> arguments;
    std::string expected;
    friend void PrintTo(const DefaultCase& c, std::ostream* os) { *os << c.name; }
};

const std::string kLongName = std::string(5000, 'a') + ".udl";

const std::array kDefaultCases = {
    DefaultCase{"nothing stored, no arguments", {}, {}, {}, kLinks + "ERROR"},
    DefaultCase{"stored name in the data links folder",
                "lager.udl",
                {kLinks + "lager.udl"},
                {},
                kLinks + "lager.udl"},
    DefaultCase{"stored name in the current folder is kept as written",
                "lager.udl",
                {"/srv/lumra/lager.udl"},
                {},
                "lager.udl"},
    DefaultCase{"stored full path", "/data/x.udl", {"/data/x.udl"}, {}, "/data/x.udl"},
    DefaultCase{"stored name of no file", "borta.udl", {}, {}, kLinks + "borta.udl"},
    DefaultCase{"bare argument in the current folder is kept as written",
                {},
                {"/srv/lumra/bare.udl"},
                {"bare.udl"},
                "bare.udl"},
    DefaultCase{"argument in the data links folder",
                "lager.udl",
                {kLinks + "lager.udl", kLinks + "Annan.Udl"},
                {"Annan.Udl"},
                kLinks + "Annan.Udl"},
    DefaultCase{"only the presence of .UDL counts",
                {},
                {kLinks + "x.UDL.bak"},
                {"x.UDL.bak"},
                kLinks + "x.UDL.bak"},
    DefaultCase{"other arguments are ignored", {}, {kLinks + "a.txt"}, {"a.txt"}, kLinks + "ERROR"},
    DefaultCase{"the later existing argument wins",
                {},
                {kLinks + "a.udl", kLinks + "b.udl"},
                {"a.udl", "b.udl"},
                kLinks + "b.udl"},
    DefaultCase{"a later missing argument undoes nothing",
                {},
                {kLinks + "a.udl"},
                {"a.udl", "saknas.udl"},
                kLinks + "a.udl"},
    DefaultCase{"a path with .. is taken as written",
                {},
                {"/srv/local.udl"},
                {"../local.udl"},
                "../local.udl"},
    DefaultCase{"a missing path with ..", {}, {}, {"../../etc/none.udl"}, kLinks + "ERROR"},
    DefaultCase{"a folder is no data link file",
                {},
                {kLinks + "mapp.udl/inne"},
                {"mapp.udl"},
                kLinks + "ERROR"},
    DefaultCase{"a very long argument", {}, {}, {kLongName}, kLinks + "ERROR"},
};

class DefaultDataProviderTest : public EnvironmentTest,
                                public ::testing::WithParamInterface<DefaultCase> {};

TEST_P(DefaultDataProviderTest, ComesFromTheSettingAndTheCommandLine) {
    const auto& c = GetParam();
    if (c.stored) {
        storeDefault(*c.stored);
    }
    for (const auto& path : c.existing) {
        files.addFile(path);
    }
    files.setArguments(c.arguments);
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(vemlo::g_DefaultDataProvider, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sources, DefaultDataProviderTest, ::testing::ValuesIn(kDefaultCases));

TEST_F(EnvironmentTest, DerivesTheFoldersAndTheKey) {
    files.setCurrentFolder("/srv/Export Admin");
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(vemlo::g_ProgramPath, "/srv/Export Admin/");
    EXPECT_EQ(vemlo::g_ProgramKey, "_srv_Export_Admin\\");
    EXPECT_EQ(vemlo::g_DataLinksPath, kLinks);
}

TEST_F(EnvironmentTest, WindowsPathsGiveTheSameResults) {
    platform::MemoryFileSystem drive('\\');
    twins.shellFolders.set(platform::kFolderProgramFilesCommon, "C:\\Program Files\\Common Files");
    auto services = twins.wiring();
    services.fileSystem = &drive;
    twins.wire(services);
    drive.setCurrentFolder("D:\\Apps\\Export Admin");
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(vemlo::g_ProgramPath, "D:\\Apps\\Export Admin\\");
    EXPECT_EQ(vemlo::g_ProgramKey, "D_Apps_Export_Admin\\");
    const std::string links = "C:\\Program Files\\Common Files\\System\\Ole DB\\Data Links\\";
    EXPECT_EQ(vemlo::g_DataLinksPath, links);
    EXPECT_EQ(vemlo::g_DefaultDataProvider, links + "ERROR");
}

TEST_F(EnvironmentTest, ANewStoredDefaultIsPickedUpByTheNextRun) {
    ASSERT_TRUE(vemlo::InitEnvironment());
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "ny.udl");
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(vemlo::g_DefaultDataProvider, kLinks + "ny.udl");
}

TEST_F(EnvironmentTest, AnUnreadableCurrentFolderStopsTheRunAndKeepsTheEarlierValues) {
    ASSERT_TRUE(vemlo::InitEnvironment());
    files.setCurrentFolder("");
    twins.shellFolders.set(platform::kFolderProgramFilesCommon, "/elsewhere");
    try {
        vemlo::InitEnvironment();
        FAIL() << "no error raised";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unable to get Current path");
    }
    EXPECT_EQ(vemlo::g_ProgramPath, "/srv/lumra/");
    EXPECT_EQ(vemlo::g_DataLinksPath, kLinks);
}

TEST_F(EnvironmentTest, NoCommonProgramFilesFolderLeavesTheDataLinksFolderEmpty) {
    twins.shellFolders.set(platform::kFolderProgramFilesCommon, "");
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(vemlo::g_DataLinksPath, "");
    EXPECT_EQ(vemlo::g_DefaultDataProvider, "ERROR");
}

TEST_F(EnvironmentTest, TheSuiteFolderIsCreatedOnce) {
    const int before = files.foldersCreated();
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_TRUE(files.folderExists(kAppData + "/Vemlo/Vemlo Suite"));
    EXPECT_EQ(files.foldersCreated(), before + 2);
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(files.foldersCreated(), before + 2);
}

TEST_F(EnvironmentTest, AnExistingSuiteFolderIsLeftAlone) {
    files.addFile(kAppData + "/Vemlo/Vemlo Suite/inställningar.ini", "kvar");
    const int before = files.foldersCreated();
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(files.foldersCreated(), before);
    EXPECT_EQ(files.content(kAppData + "/Vemlo/Vemlo Suite/inställningar.ini"), "kvar");
}

TEST_F(EnvironmentTest, AFailingSuiteFolderIsNotReported) {
    files.setReadOnly(kAppData);
    EXPECT_TRUE(vemlo::InitEnvironment());
    EXPECT_FALSE(files.folderExists(kAppData + "/Vemlo"));
    EXPECT_TRUE(twins.boxes.shown().empty());
}

TEST_F(EnvironmentTest, NoApplicationDataFolderCreatesNothing) {
    twins.shellFolders.set(platform::kFolderAppData, "");
    const int before = files.foldersCreated();
    ASSERT_TRUE(vemlo::InitEnvironment());
    EXPECT_EQ(files.foldersCreated(), before);
    EXPECT_FALSE(files.folderExists("/Vemlo"));
}

} // namespace
