#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/environment.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/shared_settings.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>

using platform::Hive;
using platform::MemorySettingsStore;

namespace {

const std::string kMarkerKey = "SOFTWARE\\Vemlo\\ERROR_WRITING_TO_LOCAL_MACHINE";

class SharedSettingsTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;
    MemorySettingsStore& store = twins.store;

    void SetUp() override { vemlo::g_ProgramKey = "D_Apps_Export_Admin\\"; }

    void storeCopy(Hive hive, const std::string& value) {
        const auto root =
            hive == Hive::User ? vemlo::RegRoot::CurrentUser : vemlo::RegRoot::LocalMachine;
        ASSERT_TRUE(vemlo::RegWriteString(root, kKey, "DefaultDataProvider", value));
    }

    const std::string kKey = "SOFTWARE\\Vemlo\\D_Apps_Export_Admin\\DataProvider";
};

TEST_F(SharedSettingsTest, AWriteStoresBothCopiesAndNoMarker) {
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "lager.udl");
    EXPECT_EQ(store.storedValue(Hive::User, kKey, "DefaultDataProvider"), "lager.udl");
    EXPECT_EQ(store.storedValue(Hive::Machine, kKey, "DefaultDataProvider"), "lager.udl");
    EXPECT_FALSE(store.keyExists(Hive::User, kMarkerKey));
    EXPECT_EQ(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"), "lager.udl");
}

TEST_F(SharedSettingsTest, BeforeTheEnvironmentTheSectionSitsRightBelowTheMaker) {
    vemlo::g_ProgramKey.clear();
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "x.udl");
    EXPECT_EQ(store.storedValue(Hive::User, "SOFTWARE\\Vemlo\\DataProvider", "DefaultDataProvider"),
              "x.udl");
}

TEST_F(SharedSettingsTest, AMachineHiveThatCannotBeWrittenLeavesTheMarker) {
    // The key creation fails, and so does its retry without the access list.
    store.failNext(MemorySettingsStore::Call::CreateKey, platform::kAccessDenied, -1,
                   Hive::Machine);
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "lager.udl");
    EXPECT_EQ(store.storedValue(Hive::User, kKey, "DefaultDataProvider"), "lager.udl");
    EXPECT_FALSE(store.keyExists(Hive::Machine, kKey));
    EXPECT_EQ(store.storedValue(Hive::User, kMarkerKey, "ErrorMsg"),
              store.messageFor(platform::kAccessDenied));
    EXPECT_EQ(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"), "lager.udl");
}

TEST_F(SharedSettingsTest, NoMarkerWhenNeitherCopyCouldBeWritten) {
    store.failNext(MemorySettingsStore::Call::CreateKey, platform::kAccessDenied, -1);
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "lager.udl");
    EXPECT_FALSE(store.keyExists(Hive::User, kMarkerKey));
    EXPECT_EQ(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"), "ERROR");
}

TEST_F(SharedSettingsTest, TwoProgramFoldersKeepSeparateSettings) {
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "d.udl");
    vemlo::g_ProgramKey = "__server_share_Export\\";
    EXPECT_EQ(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"), "ERROR");
    vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", "n.udl");
    vemlo::g_ProgramKey = "D_Apps_Export_Admin\\";
    EXPECT_EQ(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"), "d.udl");
}

struct ReadCase {
    const char* name;
    std::optional<std::string> user;
    std::optional<std::string> machine;
    std::string read;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kReadCases = {
    ReadCase{"user copy preferred", "user.udl", "machine.udl", "user.udl"},
    ReadCase{"machine copy when the user has none", std::nullopt, "machine.udl", "machine.udl"},
    ReadCase{"blank user copy passed over", " \t ", "machine.udl", "machine.udl"},
    ReadCase{"control characters count as blank", std::string("\x01\x1f ", 3), "m.udl", "m.udl"},
    ReadCase{"both blank", "  ", " ", "ERROR"},
    ReadCase{"absent in both", std::nullopt, std::nullopt, "ERROR"},
    ReadCase{"stored ERROR reads the same", "ERROR", std::nullopt, "ERROR"},
    ReadCase{"leading blanks kept", "  lager.udl", std::nullopt, "  lager.udl"},
    ReadCase{"trailing blanks kept", std::nullopt, "lager.udl \t", "lager.udl \t"},
};

class SharedSettingsReadTest : public SharedSettingsTest,
                               public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SharedSettingsReadTest, ReadsTheRightCopy) {
    const auto& c = GetParam();
    if (c.user) {
        storeCopy(Hive::User, *c.user);
    }
    if (c.machine) {
        storeCopy(Hive::Machine, *c.machine);
    }
    EXPECT_EQ(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"), c.read);
}

INSTANTIATE_TEST_SUITE_P(Copies, SharedSettingsReadTest, ::testing::ValuesIn(kReadCases));

} // namespace
