#include "app/reg_command.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

using vemlo::RegRoot;

namespace {

struct Command {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string out;
    std::string errPart;
    friend void PrintTo(const Command& c, std::ostream* os) { *os << c.name; }
};

class RegCommandTest : public ::testing::TestWithParam<Command> {
protected:
    void SetUp() override {
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "S\\K", "Namn", "Göteborg"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "S\\K", "", "standard"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "S\\K\\Sub", "V", "x"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::CurrentUser, "S\\K", "Namn", "egen"));
    }
    testing_support::ToolkitTwins twins;
};

TEST_P(RegCommandTest, ExitsAndPrintsAsDocumented) {
    const auto& c = GetParam();
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunRegCommand(c.args, out, err), c.exitCode) << err.str();
    EXPECT_EQ(out.str(), c.out);
    EXPECT_NE(err.str().find(c.errPart), std::string::npos) << err.str();
    if (c.exitCode != kRegOk) {
        const auto message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RegCommandTest,
    ::testing::Values(
        Command{"GetMachineByDefault", {"get", "S\\K", "Namn"}, kRegOk, "Göteborg\n", ""},
        Command{"GetUser", {"--user", "get", "S\\K", "namn"}, kRegOk, "egen\n", ""},
        Command{"GetDefaultValue", {"get", "S\\K"}, kRegOk, "standard\n", ""},
        Command{"GetAbsent", {"get", "S\\K", "Saknas"}, kRegFailed, "", "absent"},
        Command{"SetThenNothingPrinted", {"set", "S\\Ny", "V", "1"}, kRegOk, "", ""},
        Command{"List", {"list", "S\\K"}, kRegOk, "Sub\\\n@=standard\nNamn=Göteborg\n", ""},
        Command{"ListMissing", {"list", "S\\Saknas"}, kRegFailed, "", "cannot open key"},
        Command{"DeleteLeaf", {"delete", "S\\K"}, kRegOk, "", ""},
        Command{"DeleteTopLevel", {"delete", "S"}, kRegFailed, "", "not deleted"},
        Command{"DeleteMissing", {"delete", "S\\Saknas"}, kRegOk, "", ""},
        Command{"NoCommand", {}, kRegUsage, "", "usage:"},
        Command{"UnknownCommand", {"copy", "S\\K"}, kRegUsage, "", "usage:"},
        Command{"MissingValue", {"set", "S\\K", "V"}, kRegUsage, "", "usage:"},
        Command{"BadKeyPath", {"get", "S\\\\K"}, kRegUsage, "", "not a valid key path"},
        Command{"HiveOptionOnly", {"--machine"}, kRegUsage, "", "usage:"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegCommandTest, SetStoresAndDeleteRemoves) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunRegCommand({"--user", "set", "A\\B", "V", "värde"}, out, err), kRegOk);
    EXPECT_EQ(vemlo::RegReadString(RegRoot::CurrentUser, "A\\B", "V"), "värde");
    ASSERT_EQ(RunRegCommand({"--user", "delete", "A\\B"}, out, err), kRegOk);
    EXPECT_FALSE(twins.store.keyExists(platform::Hive::User, "A\\B"));
}

TEST_F(RegCommandTest, AFailedWriteSaysWhy) {
    twins.store.failNext(platform::MemorySettingsStore::Call::CreateKey, platform::kAccessDenied,
                         2);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunRegCommand({"set", "A", "V", "x"}, out, err), kRegFailed);
    EXPECT_EQ(err.str(), "vemlo-reg: the value was not stored: Access is denied.\n");
}

// The real program on real hive files.
TEST(VemloRegProgram, WritesAndReadsTheHiveNamedByTheEnvironment) {
    testing_support::TempFolder folder;
    const auto env = "VEMLO_MACHINE_HIVE='" + folder.file("m.hive") + "' VEMLO_USER_HIVE='" +
                     folder.file("u.hive") + "' ";
    const std::string program = VEMLO_REG_PATH;
    const auto run = [&](const std::string& args) {
        const int status = std::system(
            (env + program + " " + args + " >" + folder.file("out") + " 2>/dev/null").c_str());
        return WEXITSTATUS(status);
    };
    EXPECT_EQ(run("set 'A\\B' Namn 'Lön'"), 0);
    EXPECT_EQ(run("get 'a\\b' NAMN"), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(folder.file("out")), "Lön\n");
    EXPECT_EQ(run("--user get 'A\\B' Namn"), 1);
    EXPECT_EQ(run("frobnicate"), 2);
}

} // namespace
