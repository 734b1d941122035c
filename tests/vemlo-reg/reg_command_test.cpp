#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"
#include "vemlo-reg/reg_command.h"

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

class RegFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "S\\K", "Namn", "Göteborg"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "S\\K", "", "standard"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "S\\K\\Sub", "V", "x"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::CurrentUser, "S\\K", "Namn", "egen"));
    }
    testing_support::ToolkitTwins twins;
};

class RegCommandTest : public RegFixture, public ::testing::WithParamInterface<Command> {};

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
        Command{"List",
                {"list", "S\\K"},
                kRegOk,
                "\"Sub\"\\\n@=\"standard\"\n\"Namn\"=\"Göteborg\"\n",
                ""},
        Command{"ListMissing", {"list", "S\\Saknas"}, kRegFailed, "", "cannot open key"},
        Command{"DeleteLeaf", {"delete", "S\\K"}, kRegOk, "", ""},
        Command{"DeleteTopLevel", {"delete", "S"}, kRegFailed, "", "top-level key is only emptied"},
        Command{"DeleteMissing", {"delete", "S\\Saknas"}, kRegOk, "", ""},
        Command{"NoCommand", {}, kRegUsage, "", "usage:"},
        Command{"UnknownCommand", {"copy", "S\\K"}, kRegUsage, "", "usage:"},
        Command{"MissingValue", {"set", "S\\K", "V"}, kRegUsage, "", "usage:"},
        Command{"BadKeyPath", {"get", "S\\\\K"}, kRegUsage, "", "not a valid key path"},
        Command{"LongKeyName",
                {"set", "S\\" + std::string(256, 'k'), "V", "x"},
                kRegUsage,
                "",
                "longer than 255"},
        Command{"HiveOptionOnly", {"--machine"}, kRegUsage, "", "usage:"},
        Command{"SetValueTooLong",
                {"set", "S\\K", "V", std::string(1025, 'v')},
                kRegUsage,
                "",
                "longer than 1024"},
        Command{"SetNameNotUtf8", {"set", "S\\K", "\xC3(", "x"}, kRegUsage, "", "UTF-8"},
        Command{"GetNameNotUtf8", {"get", "S\\K", "\xFF"}, kRegUsage, "", "UTF-8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegFixture, SetStoresAndDeleteRemoves) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunRegCommand({"--user", "set", "A\\B", "V", "värde"}, out, err), kRegOk);
    EXPECT_EQ(vemlo::RegReadString(RegRoot::CurrentUser, "A\\B", "V"), "värde");
    ASSERT_EQ(RunRegCommand({"--user", "delete", "A\\B"}, out, err), kRegOk);
    EXPECT_FALSE(twins.store.keyExists(platform::Hive::User, "A\\B"));
}

using Call = platform::MemorySettingsStore::Call;

struct StoreFailure {
    const char* name;
    std::vector<std::string> args;
    Call call;
    platform::Status status;
    int times;
    std::string err;
    friend void PrintTo(const StoreFailure& c, std::ostream* os) { *os << c.name; }
};

class RegStoreFailureTest : public RegFixture,
                            public ::testing::WithParamInterface<StoreFailure> {};

// A store failure is told from an absent value, and named by the call that failed.
TEST_P(RegStoreFailureTest, ExitsWithItsOwnCodeAndTheRealCause) {
    const auto& c = GetParam();
    // An earlier failure of the other hive must not be the one reported.
    twins.store.failNext(Call::CreateKey, platform::kAccessDenied, 2, platform::Hive::User);
    EXPECT_FALSE(vemlo::RegWriteString(RegRoot::CurrentUser, "U", "V", "x"));
    twins.store.failNext(c.call, c.status, c.times, platform::Hive::Machine);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunRegCommand(c.args, out, err), kRegStoreFailed);
    EXPECT_EQ(err.str(), c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RegStoreFailureTest,
    ::testing::Values(
        StoreFailure{"SetKeyNotCreated",
                     {"set", "A", "V", "x"},
                     Call::CreateKey,
                     platform::kRegistryIoFailed,
                     2,
                     "vemlo-reg: the value was not stored: An I/O operation initiated by the "
                     "registry failed unrecoverably.\n"},
        StoreFailure{"SetValueNotStored",
                     {"set", "S\\K", "V", "x"},
                     Call::SetValue,
                     platform::kBusy,
                     1,
                     "vemlo-reg: the value was not stored: The requested resource is in use.\n"},
        StoreFailure{"GetBusy",
                     {"get", "S\\K", "Namn"},
                     Call::OpenKey,
                     platform::kBusy,
                     1,
                     "vemlo-reg: cannot read the value: The requested resource is in use.\n"},
        StoreFailure{"GetBroken",
                     {"get", "S\\K", "Namn"},
                     Call::QueryValue,
                     platform::kBadDatabase,
                     1,
                     "vemlo-reg: cannot read the value: The configuration registry database is "
                     "corrupt.\n"},
        StoreFailure{"DeleteOfABusyHive",
                     {"delete", "S\\K"},
                     Call::OpenKey,
                     platform::kBusy,
                     -1,
                     "vemlo-reg: the key was not deleted: The requested resource is in use.\n"},
        StoreFailure{"DeleteRefused",
                     {"delete", "S\\K"},
                     Call::DeleteSubKey,
                     platform::kAccessDenied,
                     -1,
                     "vemlo-reg: the key was not deleted: Access is denied.\n"},
        StoreFailure{"DeleteWhoseBatchCannotBegin",
                     {"delete", "S\\K"},
                     Call::BeginBatch,
                     platform::kBusy,
                     1,
                     "vemlo-reg: the key was not deleted: The requested resource is in use.\n"},
        StoreFailure{"ListCutShort",
                     {"list", "S\\K"},
                     Call::EnumValue,
                     platform::kRegistryIoFailed,
                     1,
                     "vemlo-reg: the listing is incomplete: An I/O operation initiated by the "
                     "registry failed unrecoverably.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every entry is one line that a script can split, whatever the names and values hold.
TEST_F(RegFixture, ListQuotesAndEscapesNamesAndValues) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "L", "a=b", "x\ny"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "L", "@", "\"q\"\\"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "L", "", "\x1b[31m\r\t\x7f\u0085"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "L\\Ny\nrad", "V", ""));
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunRegCommand({"list", "L"}, out, err), kRegOk) << err.str();
    EXPECT_EQ(out.str(), "\"Ny\\nrad\"\\\n"
                         "@=\"\\x1B[31m\\r\\t\\x7F\\u{0085}\"\n"
                         "\"@\"=\"\\\"q\\\"\\\\\"\n"
                         "\"a=b\"=\"x\\ny\"\n");
}

// A terminal gets no control character raw; a pipe or a file gets the exact bytes.
TEST_F(RegFixture, GetEscapesControlCharactersOnlyOnATerminal) {
    ASSERT_TRUE(
        vemlo::RegWriteString(RegRoot::LocalMachine, "L", "V", "C:\\a\x1b]0;x\x07\r\u0085"));
    for (const bool terminal : {true, false}) {
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(RunRegCommand({"get", "L", "V"}, out, err, terminal), kRegOk) << err.str();
        EXPECT_EQ(out.str(),
                  terminal ? "C:\\a\\x1B]0;x\\x07\\r\\u{0085}\n" : "C:\\a\x1b]0;x\x07\r\u0085\n");
    }
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
    testing_support::WriteFileBytes(folder.file("m.hive"), "not a store");
    EXPECT_EQ(run("get 'A\\B' Namn"), 3);
    EXPECT_EQ(run("delete 'A\\B'"), 3);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_NE(testing_support::ReadFileBytes(folder.file("out")).find("3 the store could not be"),
              std::string::npos);
}

} // namespace
