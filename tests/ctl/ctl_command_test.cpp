// The program's commands in-process over the toolkit's twins: the in-memory store, a set clock,
// Swedish regional settings and the simulated service manager.
#include "admin/export_schedule.h"
#include "ctl/ctl_command.h"
#include "ctl/ctl_exit.h"
#include "tests/support/case_names.h"
#include "tests/support/schedule_cases.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace testing_support {

void PrintTo(const SparaCase& row, std::ostream* os) {
    *os << row.label;
}

} // namespace testing_support

namespace {

using platform::Hive;

const std::string kTimers = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Timers";
const std::string kSlots = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Configurations\\Config-";
const char* const kScheduleValues[] = {"Period", "Dag", "Tid", "Nextrun", "Restart", "Restarttime"};

struct CtlRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CtlTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;

    CtlRun ctl(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        CtlRun run;
        run.code = RunCtlCommand(args, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    void storeTimer(const std::string& name, const std::string& value) {
        ASSERT_TRUE(vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, kTimers, name, value));
    }
    std::string timer(const std::string& name) {
        return twins.store.storedValue(Hive::Machine, kTimers, name).value_or("<absent>");
    }
    void storeSlot(int slot, const std::string& name, const std::string& value) {
        ASSERT_TRUE(vemlo::RegWriteString(vemlo::RegRoot::LocalMachine,
                                          kSlots + std::to_string(slot), name, value));
    }
    std::string slot(int slot, const std::string& name) {
        return twins.store.storedValue(Hive::Machine, kSlots + std::to_string(slot), name)
            .value_or("<absent>");
    }
};

// The window's picks as the program's options.
std::vector<std::string> OptionsOf(const std::vector<std::string>& picks) {
    std::vector<std::string> options = {"schedule", "set"};
    for (const auto& pick : picks) {
        const auto equals = pick.find('=');
        const auto position = static_cast<std::size_t>(std::stoi(pick.substr(equals + 1)));
        if (pick.substr(0, equals) == "cbPeriod") {
            options.insert(options.end(), {"--period", lumra::kPeriodTexts[position]});
        } else {
            options.insert(options.end(), {"--day", lumra::kWeekdayTexts[position]});
        }
    }
    return options;
}

class CtlScheduleCaseTest : public CtlTest,
                            public ::testing::WithParamInterface<testing_support::SparaCase> {};

TEST_P(CtlScheduleCaseTest, WritesWhatSparaWrites) {
    const auto& spara = GetParam();
    twins.clock.set({spara.today.year, spara.today.month, spara.today.day, 9, 15, 0, 0});
    storeTimer("Prevrun", spara.prevrun);
    storeTimer("Period", spara.storedPeriod);
    storeTimer("Dag", spara.storedDag);
    storeTimer("Tid", spara.storedTid);
    const auto run = ctl(OptionsOf(spara.picks));
    ASSERT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(timer("Nextrun"), spara.nextrun);
    EXPECT_EQ(timer("Period"), spara.period);
    EXPECT_EQ(timer("Dag"), spara.dag);
    EXPECT_EQ(timer("Tid"), *spara.storedTid ? spara.storedTid : "06:00:00");
    EXPECT_EQ(timer("Restart"), "0");
    EXPECT_EQ(timer("Restarttime"), "01:00:00");
    EXPECT_EQ(timer("Prevrun"), spara.prevrun);
}

INSTANTIATE_TEST_SUITE_P(SparaCases, CtlScheduleCaseTest,
                         ::testing::ValuesIn(testing_support::kSparaCases),
                         testing_support::LabelAsCaseName());

// What the options change, from what is stored: a value not given keeps its stored text, and a
// period keeps the weekday as the window's lists do.
struct OptionCase {
    const char* label;
    const char* storedPeriod;
    const char* storedDag;
    std::vector<std::string> options;
    const char* period;
    const char* dag;
    const char* tid;
    const char* restart;
    const char* restarttime;
};

void PrintTo(const OptionCase& row, std::ostream* os) {
    *os << row.label;
}

const OptionCase kOptionCases[] = {
    {"accents and case optional",
     "",
     "",
     {"--period", "vecka", "--day", "mandag"},
     "7",
     "1",
     "06:00:00",
     "0",
     "01:00:00"},
    {"weekly to monthly keeps the weekday",
     "7",
     "3",
     {"--period", "MÅNAD"},
     "30",
     "3",
     "06:00:00",
     "0",
     "01:00:00"},
    {"daily to monthly writes no weekday",
     "1",
     "",
     {"--period", "Månad"},
     "30",
     "",
     "06:00:00",
     "0",
     "01:00:00"},
    {"daily to weekly selects monday",
     "1",
     "",
     {"--period", "Varanna vecka"},
     "14",
     "1",
     "06:00:00",
     "0",
     "01:00:00"},
    {"the stored period kept for a day",
     "14",
     "2",
     {"--day", "Söndag"},
     "14",
     "7",
     "06:00:00",
     "0",
     "01:00:00"},
    {"times and restart",
     "7",
     "5",
     {"--time", "07:45", "--restart", "on", "--restart-time", "02:30:15"},
     "7",
     "5",
     "07:45:00",
     "1",
     "02:30:15"},
};

class CtlOptionTest : public CtlTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(CtlOptionTest, ChangesOnlyWhatIsGiven) {
    const auto& option = GetParam();
    storeTimer("Period", option.storedPeriod);
    storeTimer("Dag", option.storedDag);
    auto args = option.options;
    args.insert(args.begin(), {"schedule", "set"});
    const auto run = ctl(args);
    ASSERT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(timer("Period"), option.period);
    EXPECT_EQ(timer("Dag"), option.dag);
    EXPECT_EQ(timer("Tid"), option.tid);
    EXPECT_EQ(timer("Restart"), option.restart);
    EXPECT_EQ(timer("Restarttime"), option.restarttime);
}

INSTANTIATE_TEST_SUITE_P(Options, CtlOptionTest, ::testing::ValuesIn(kOptionCases),
                         testing_support::LabelAsCaseName());

TEST_F(CtlTest, AStoredRestartIsKeptUnlessChanged) {
    storeTimer("Restart", "1");
    storeTimer("Restarttime", "03:00:00");
    ASSERT_EQ(ctl({"schedule", "set", "--time", "05:00"}).code, kCtlOk);
    EXPECT_EQ(timer("Restart"), "1");
    EXPECT_EQ(timer("Restarttime"), "03:00:00");
}

// Every refusal with its exit code and its message; nothing is written.
struct RefusalCase {
    const char* label;
    std::vector<std::string> args;
    int code;
    const char* message;
};

void PrintTo(const RefusalCase& row, std::ostream* os) {
    *os << row.label;
}

const RefusalCase kScheduleRefusals[] = {
    {"no command", {}, kCtlUsage, "a command is needed"},
    {"unknown command", {"restart"}, kCtlUsage, "unknown command 'restart'"},
    {"unknown option", {"schedule", "set", "--weekday", "1"}, kCtlUsage, "unknown option"},
    {"option twice", {"schedule", "set", "--time", "01:00", "--time=02:00"}, kCtlUsage, "twice"},
    {"option without value", {"schedule", "set", "--time"}, kCtlUsage, "needs a value"},
    {"day for a daily period",
     {"schedule", "set", "--period", "dag", "--day", "måndag"},
     kCtlUsage,
     "--day needs a weekly period"},
    {"day for the stored monthly period",
     {"schedule", "set", "--day", "måndag"},
     kCtlUsage,
     "the period is Månad"},
    {"not a period", {"schedule", "set", "--period", "år"}, kCtlUsage, "--period takes"},
    {"not a weekday",
     {"schedule", "set", "--period", "vecka", "--day", "8"},
     kCtlUsage,
     "--day takes"},
    {"not a time", {"schedule", "set", "--time", "24:00"}, kCtlUsage, "HH:MM or HH:MM:SS"},
    {"not a restart", {"schedule", "set", "--restart", "yes"}, kCtlUsage, "on or off"},
    {"an option of another command",
     {"schedule", "set", "--name", "x"},
     kCtlUsage,
     "takes no option --name"},
    {"run-now with an argument", {"run-now", "later"}, kCtlUsage, "unexpected argument"},
};

class CtlScheduleRefusalTest : public CtlTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CtlScheduleRefusalTest, WritesNothing) {
    storeTimer("Period", "30");
    const auto& refusal = GetParam();
    const auto run = ctl(refusal.args);
    EXPECT_EQ(run.code, refusal.code);
    EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(timer("Period"), "30");
    for (const char* name : {"Dag", "Tid", "Nextrun", "Restart", "Restarttime"}) {
        EXPECT_EQ(timer(name), "<absent>") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Refusals, CtlScheduleRefusalTest, ::testing::ValuesIn(kScheduleRefusals),
                         testing_support::LabelAsCaseName());

TEST_F(CtlTest, APrevrunThatIsNoDateIsRefusedWithTheWindowsMessage) {
    storeTimer("Prevrun", "igår kväll");
    const auto run = ctl({"schedule", "set", "--period", "vecka"});
    EXPECT_EQ(run.code, kCtlRefused);
    EXPECT_EQ(run.err, "lumra-export-ctl: 'igår kväll' is not a valid date and time.\n");
    for (const char* name : kScheduleValues) {
        EXPECT_EQ(timer(name), "<absent>") << name;
    }
}

// A time written in other regional settings (say "06.30.00") would be replaced by the window's
// default without a word: it is refused unless the option replaces it, and status shows it as
// stored.
TEST_F(CtlTest, AStoredTimeThatIsNoTimeHereIsRefusedNotReplaced) {
    storeTimer("Tid", "06.30.00");
    storeTimer("Restarttime", "02.15.00");
    auto run = ctl({"schedule", "set", "--restart", "on"});
    EXPECT_EQ(run.code, kCtlRefused);
    EXPECT_NE(run.err.find("'06.30.00'"), std::string::npos) << run.err;
    EXPECT_EQ(timer("Tid"), "06.30.00");
    EXPECT_EQ(timer("Restart"), "<absent>");
    run = ctl({"schedule", "set", "--time", "06:30"});
    EXPECT_EQ(run.code, kCtlRefused);
    EXPECT_NE(run.err.find("'02.15.00'"), std::string::npos) << run.err;
    EXPECT_EQ(timer("Tid"), "06.30.00");
    run = ctl({"schedule", "set", "--time", "06:30", "--restart-time", "02:15"});
    EXPECT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(timer("Tid"), "06:30:00");
    EXPECT_EQ(timer("Restarttime"), "02:15:00");
    storeTimer("Tid", "06.30.00");
    run = ctl({"status"});
    EXPECT_NE(run.out.find("  Klockan: 06.30.00\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  Tid att starta om: 02:15:00\n"), std::string::npos) << run.out;
}

// A usage error that the command line alone shows is one whatever becomes of the store.
TEST_F(CtlTest, ADayForADailyPeriodIsAUsageErrorAlsoWhenTheStoreIsLocked) {
    twins.store.failNext(platform::MemorySettingsStore::Call::BeginBatch, platform::kBusy);
    const auto run = ctl({"schedule", "set", "--period", "dag", "--day", "måndag"});
    EXPECT_EQ(run.code, kCtlUsage);
    EXPECT_NE(run.err.find("--day needs a weekly period"), std::string::npos) << run.err;
}

TEST_F(CtlTest, AnIncompleteReadWritesNothing) {
    storeTimer("Period", "14");
    twins.store.failNext(platform::MemorySettingsStore::Call::QueryValue, platform::kBusy);
    const auto run = ctl({"schedule", "set", "--time", "08:00"});
    EXPECT_EQ(run.code, kCtlStoreFailed);
    EXPECT_NE(run.err.find("could not be read completely"), std::string::npos) << run.err;
    EXPECT_EQ(timer("Period"), "14");
    EXPECT_EQ(timer("Tid"), "<absent>");
}

// The twin keeps what a batch that failed at its end wrote; a real hive rolls it back.
TEST_F(CtlTest, ABatchThatCannotBeStoredIsAStoreFailure) {
    twins.store.failNext(platform::MemorySettingsStore::Call::BeginBatch,
                         platform::kRegistryIoFailed);
    auto run = ctl({"schedule", "set", "--time", "08:00"});
    EXPECT_EQ(run.code, kCtlStoreFailed);
    EXPECT_NE(run.err.find("Ändringarna kunde inte sparas."), std::string::npos) << run.err;
    EXPECT_EQ(timer("Tid"), "<absent>");
    twins.store.failNext(platform::MemorySettingsStore::Call::EndBatch,
                         platform::kRegistryIoFailed);
    run = ctl({"schedule", "set", "--time", "08:00"});
    EXPECT_EQ(run.code, kCtlStoreFailed);
    EXPECT_NE(run.err.find("Ändringarna kunde inte sparas."), std::string::npos) << run.err;
}

// As "Spara": a value that could not be written is named, and the others are stored.
TEST_F(CtlTest, AValueNotWrittenIsNamedAndTheOthersAreStored) {
    twins.store.failNext(platform::MemorySettingsStore::Call::SetValue, platform::kAccessDenied);
    auto run = ctl({"schedule", "set", "--time", "08:00"});
    EXPECT_EQ(run.code, kCtlStoreFailed);
    EXPECT_EQ(run.err, "lumra-export-ctl: Några värden kunde inte sparas; de övriga har sparats: "
                       "Timers\\Period\n");
    EXPECT_EQ(timer("Period"), "<absent>");
    EXPECT_EQ(timer("Tid"), "08:00:00");
    twins.store.failNext(platform::MemorySettingsStore::Call::SetValue, platform::kAccessDenied);
    run = ctl({"config", "add", "--name", "Kassan"});
    EXPECT_EQ(run.code, kCtlStoreFailed);
    EXPECT_NE(run.err.find("Configurations\\Config-0\\Name"), std::string::npos) << run.err;
    EXPECT_EQ(slot(0, "DataProvider"), "DefaultDataProvider");
}

TEST_F(CtlTest, RunNowWritesTheCurrentMomentOnly) {
    twins.clock.set({2014, 10, 29, 9, 15, 30, 0});
    const auto run = ctl({"run-now"});
    EXPECT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(timer("Nextrun"), "2014-10-29 09:15:30");
    EXPECT_EQ(timer("Period"), "<absent>");
    twins.store.failNext(platform::MemorySettingsStore::Call::EndBatch,
                         platform::kRegistryIoFailed);
    EXPECT_EQ(ctl({"run-now"}).code, kCtlStoreFailed);
}

TEST_F(CtlTest, AddNamesTheConfigurationAsNyDoes) {
    auto run = ctl({"config", "add"});
    EXPECT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(run.out, "0\n");
    EXPECT_EQ(slot(0, "Name"), "Config-0");
    EXPECT_EQ(slot(0, "DataProvider"), "DefaultDataProvider");
    EXPECT_EQ(slot(0, "ExportPathBokforing"), "");
    EXPECT_EQ(slot(0, "FileFormat"), "<absent>");
    twins.files.setCurrentFolder("/srv");
    twins.networkNames.mounts = {{"/run/user/0/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse"}};
    run = ctl({"config", "add", "--name", "Kassan", "--dataprovider", "kassan.udl", "--folder",
               "export", "--file", "bok"});
    EXPECT_EQ(run.out, "1\n");
    EXPECT_EQ(slot(1, "Name"), "Kassan");
    EXPECT_EQ(slot(1, "DataProvider"), "kassan.udl");
    EXPECT_EQ(slot(1, "ExportPathBokforing"), "/srv/export/");
    EXPECT_EQ(slot(1, "ExportFilename"), "bok");
    run = ctl({"config", "set", "Kassan", "--folder",
               "/run/user/0/gvfs/smb-share:server=nas,share=bok/ut"});
    EXPECT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(slot(1, "ExportPathBokforing"), "//nas/bok/ut/");
}

TEST_F(CtlTest, RemoveMovesTheLaterSlotsUpAndLeavesFileFormatWithTheSlot) {
    for (int i = 0; i < 3; ++i) {
        storeSlot(i, "Name", "K" + std::to_string(i));
        storeSlot(i, "FileFormat", std::to_string(7 + i));
    }
    auto run = ctl({"config", "remove", "K0"});
    ASSERT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(slot(0, "Name"), "K1");
    EXPECT_EQ(slot(1, "Name"), "K2");
    EXPECT_EQ(slot(0, "FileFormat"), "7");
    EXPECT_EQ(slot(2, "Name"), "<absent>");
    run = ctl({"config", "add"});
    EXPECT_EQ(slot(2, "Name"), "Config-2");
    run = ctl({"config", "remove", "--slot", "1"});
    ASSERT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(ctl({"config", "list"}).out, "0\tK1\n1\tConfig-2\n");
}

const RefusalCase kConfigRefusals[] = {
    {"not found", {"config", "show", "Saknas"}, kCtlRefused, "no configuration named 'Saknas'"},
    {"ambiguous",
     {"config", "set", "Dubbel", "--file", "x"},
     kCtlRefused,
     "several configurations are named 'Dubbel' (slots 0, 1)"},
    {"slot past the list",
     {"config", "remove", "--slot", "2"},
     kCtlRefused,
     "no configuration in slot 2"},
    {"slot not a number", {"config", "show", "--slot", "ett"}, kCtlUsage, "--slot takes"},
    {"both name and slot",
     {"config", "show", "Dubbel", "--slot", "0"},
     kCtlUsage,
     "unexpected argument"},
    {"neither name nor slot", {"config", "remove"}, kCtlUsage, "missing argument"},
    {"set without a value", {"config", "set", "--slot", "0"}, kCtlUsage, "at least one of"},
    {"an empty name",
     {"config", "set", "--slot", "1", "--name", ""},
     kCtlRefused,
     "Konfiguration nummer 2 saknar namn."},
    {"an empty folder, which would be the root folder",
     {"config", "set", "--slot", "0", "--folder", ""},
     kCtlUsage,
     "--folder takes a folder"},
    {"an added empty name",
     {"config", "add", "--name="},
     kCtlRefused,
     "Konfiguration nummer 3 saknar namn."},
    {"a value past the limit",
     {"config", "set", "--slot", "0", "--file", std::string(1025, 'x')},
     kCtlRefused,
     "Fältet \"Ange filnamn\" i konfiguration nummer 1"},
    {"unknown verb", {"config", "rename"}, kCtlUsage, "unknown config verb"},
};

class CtlConfigRefusalTest : public CtlTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CtlConfigRefusalTest, ChangesNothing) {
    storeSlot(0, "Name", "Dubbel");
    storeSlot(1, "Name", "Dubbel");
    const auto before = twins.store.subKeyNames(Hive::Machine, kSlots.substr(0, kSlots.size() - 8));
    const auto& refusal = GetParam();
    const auto run = ctl(refusal.args);
    EXPECT_EQ(run.code, refusal.code);
    EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    EXPECT_EQ(slot(0, "Name"), "Dubbel");
    EXPECT_EQ(slot(1, "Name"), "Dubbel");
    EXPECT_EQ(slot(0, "ExportFilename"), "<absent>");
    EXPECT_EQ(twins.store.subKeyNames(Hive::Machine, kSlots.substr(0, kSlots.size() - 8)), before);
}

INSTANTIATE_TEST_SUITE_P(Refusals, CtlConfigRefusalTest, ::testing::ValuesIn(kConfigRefusals),
                         testing_support::LabelAsCaseName());

TEST_F(CtlTest, NothingIsSavedAfterAnIncompleteLoad) {
    for (int i = 0; i < 3; ++i) {
        storeSlot(i, "Name", "K" + std::to_string(i));
    }
    twins.store.failQueriesOf("ExportFilename", platform::kBusy);
    const auto run = ctl({"config", "remove", "K0"});
    EXPECT_EQ(run.code, kCtlStoreFailed);
    EXPECT_EQ(slot(0, "Name"), "K0");
    EXPECT_EQ(slot(2, "Name"), "K2");
    EXPECT_EQ(ctl({"config", "list"}).code, kCtlStoreFailed);
    EXPECT_EQ(ctl({"status"}).code, kCtlStoreFailed);
}

TEST_F(CtlTest, StatusShowsTheWindowsCaptionsAndTexts) {
    storeTimer("Period", "30");
    storeTimer("Dag", "3");
    storeTimer("Tid", "07:30:00");
    storeTimer("Prevrun", "2014-10-01 07:30:00");
    storeTimer("Restart", "1");
    storeSlot(0, "Name", "Kassan");
    twins.services.reportNext(platform::ServiceStatus{platform::kServiceRunning, 0, 0});
    const auto run = ctl({"status"});
    EXPECT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(run.out, "Tid när exporten ska köras\n"
                       "  Period: Månad\n"
                       "  Dag: Siste i månaden\n"
                       "  Klockan: 07:30:00\n"
                       "Körning\n"
                       "  Senaste körning: 2014-10-01 07:30:00\n"
                       "  Tid för nästa körning: 2014-10-30 12:00:00\n"
                       "Service\n"
                       "  Starta om service varje dag: ja\n"
                       "  Tid att starta om: 01:00:00\n"
                       "  Status: SERVICE_RUNNING\n"
                       "Konfiguration\n"
                       "  0\tKassan\n");
}

TEST_F(CtlTest, JsonParsesBackToTheStoredTexts) {
    storeTimer("Period", "7");
    storeTimer("Nextrun", "snart\x1b[2J");
    storeSlot(0, "Name", "Kassan");
    storeSlot(0, "FileFormat", "4");
    storeSlot(1, "Name", "Två\nrader");
    auto run = ctl({"--json", "status"});
    ASSERT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    auto status = nlohmann::json::parse(run.out);
    EXPECT_EQ(status["Timers"]["Period"], "7");
    EXPECT_EQ(status["Timers"]["Nextrun"], "snart\x1b[2J");
    EXPECT_EQ(status["Timers"]["Dag"], "");
    EXPECT_TRUE(status["ServiceState"].is_null());
    ASSERT_EQ(status["Configurations"].size(), 2U);
    EXPECT_EQ(status["Configurations"][0]["FileFormat"], 4);
    EXPECT_EQ(status["Configurations"][1]["Name"], "Två\nrader");
    EXPECT_EQ(status["Configurations"][1]["Slot"], 1);
    run = ctl({"config", "show", "--slot", "0", "--json"});
    EXPECT_EQ(nlohmann::json::parse(run.out)["DataProvider"], "");
    run = ctl({"config", "list", "--json"});
    EXPECT_EQ(nlohmann::json::parse(run.out).size(), 2U);
    twins.services.reportNext(platform::ServiceStatus{platform::kServiceStopped, 0, 0});
    run = ctl({"service", "status", "--json"});
    EXPECT_EQ(nlohmann::json::parse(run.out)["ServiceState"], "SERVICE_STOPPED");
}

// A script splitting the text form must not see a planted line break as a line of its own.
TEST_F(CtlTest, HiveTextIsEscapedInTheTextForm) {
    storeSlot(0, "Name", "Röd\x1b[31m");
    storeSlot(1, "Name", "x\n0\tKassan");
    EXPECT_EQ(ctl({"config", "list"}).out, "0\tRöd\\x1B[31m\n1\tx\\n0\\tKassan\n");
    const auto run = ctl({"config", "show", "x\x1b[31m"});
    EXPECT_EQ(run.err, "lumra-export-ctl: no configuration named 'x\\x1B[31m'\n");
}

// JSON escapes C0 controls by itself but passes DEL and the C1 controls (U+009B is a CSI to a
// terminal) as they are.
TEST_F(CtlTest, JsonCarriesNoControlCharacterRaw) {
    storeSlot(0, "Name", "a\x7f\u009b2Jb");
    storeTimer("Nextrun", "\u0085\u009d0;x\u0007");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--json", "status"},
                                               {"--json", "config", "list"},
                                               {"--json", "config", "show", "--slot", "0"}}) {
        const auto run = ctl(args);
        ASSERT_EQ(run.code, kCtlOk) << run.err;
        EXPECT_EQ(run.out.find('\x7f'), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("\xc2\x85"), std::string::npos) << run.out;
        const auto parsed = nlohmann::json::parse(run.out);
        const auto& config = args[1] == "status" ? parsed["Configurations"][0]
                             : args[1] == "config" && args[2] == "list" ? parsed[0]
                                                                        : parsed;
        EXPECT_EQ(config["Name"], "a\x7f\u009b2Jb");
        if (args[1] == "status") {
            EXPECT_EQ(parsed["Timers"]["Nextrun"], "\u0085\u009d0;x\u0007");
        }
    }
}

TEST_F(CtlTest, ServiceRequestsSayWhatTheButtonsSay) {
    twins.services.startAccepted = false;
    twins.services.reportNext(platform::ServiceStatus{platform::kServiceRunning, 0, 0});
    auto run = ctl({"service", "start"});
    EXPECT_EQ(run.code, kCtlRefused);
    EXPECT_EQ(run.err, "lumra-export-ctl: An error occurred while trying to start the service!\n");
    EXPECT_EQ(run.out, "Status: SERVICE_RUNNING\n");
    twins.services.stopReply = {true, std::nullopt};
    twins.services.reportNext(platform::ServiceStatus{platform::kServiceStopped, 0, 0});
    run = ctl({"service", "stop"});
    EXPECT_EQ(run.code, kCtlOk) << run.err;
    EXPECT_EQ(run.out, "Status: SERVICE_STOPPED\n");
    twins.services.serviceInstalled = false;
    ServiceSession session;
    session.noPromptNote = "nobody to ask";
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCtlCommand({"service", "stop"}, out, err, session), kCtlRefused);
    EXPECT_EQ(err.str(), "lumra-export-ctl: An error occurred while trying to stop the service!\n"
                         "lumra-export-ctl: nobody to ask\n");
    EXPECT_EQ(out.str(), "Status: no state could be read\n");
}

// A full disk or a closed pipe: the result never reached the caller, so it is no success.
TEST_F(CtlTest, OutputThatCouldNotBeWrittenFails) {
    storeSlot(0, "Name", "Kassan");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--json", "status"}, {"config", "list"}, {"config", "add"}, {"--help"}}) {
        std::ostringstream out;
        std::ostringstream err;
        out.setstate(std::ios::badbit);
        EXPECT_EQ(RunCtlCommand(args, out, err), kCtlRefused) << args.back();
        EXPECT_EQ(err.str(), "lumra-export-ctl: the output could not be written\n");
    }
    std::ostringstream out;
    std::ostringstream err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(RunCtlCommand({"config", "show", "Saknas"}, out, err), kCtlRefused);
    EXPECT_EQ(RunCtlCommand({"status", "x"}, out, err), kCtlUsage);
}

TEST_F(CtlTest, HelpListsEveryCommandAndExitCode) {
    const auto run = ctl({"--help"});
    EXPECT_EQ(run.code, kCtlOk);
    for (const char* word : {"status", "schedule set", "run-now", "config list", "config show",
                             "config add", "config set", "config remove", "service start", "--json",
                             "Exit status: 0", "2 usage error", "3 the store"}) {
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }
}

} // namespace
