#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/child_process.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/sqlite_hives.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using platform::Hive;
using platform::SqliteSettingsStore;
using testing_support::Child;
using testing_support::IntegrityCheck;
using testing_support::kStoreWriter;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;
using testing_support::Wait;
using testing_support::WriteFileBytes;
using vemlo::RegReadString;
using vemlo::RegRoot;
using vemlo::RegWriteString;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Each hive in a folder of its own, as the machine's and a user's are.
class SqliteStoreTest : public ::testing::Test, protected testing_support::SqliteHives {
protected:
    SqliteStoreTest()
        : SqliteHives("user/user.hive", "machine/machine.hive") {}
};

TEST_F(SqliteStoreTest, TheMachineHiveIsSharedAndTheUserHivePrivate) {
    const mode_t previous = ::umask(077);
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "x"));
    ASSERT_TRUE(RegWriteString(RegRoot::CurrentUser, "K", "V", "x"));
    ::umask(previous);
    EXPECT_EQ(ModeOf(machineHive()), 0666u);
    EXPECT_EQ(ModeOf(folder.file("machine")), 01777u);
    EXPECT_EQ(ModeOf(machineHive() + "-journal"), 0666u);
    EXPECT_EQ(ModeOf(userHive()), 0600u);
    EXPECT_EQ(ModeOf(folder.file("user")), 0700u);
    EXPECT_EQ(store->hiveProblem(Hive::Machine), "");
}

TEST_F(SqliteStoreTest, AZeroLengthFileIsANewStore) {
    std::filesystem::create_directories(folder.file("machine"));
    WriteFileBytes(machineHive(), "");
    EXPECT_EQ(store->hiveProblem(Hive::Machine), "");
    EXPECT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "x"));
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "K", "V"), "x");
}

// Makes a store file with enough data for several pages, then closes it.
std::string MakeStoreBytes(const TempFolder& folder) {
    const auto path = folder.file("source.hive");
    {
        SqliteSettingsStore source(path, path);
        testing_support::WiredToolkit wired({.settingsStore = &source});
        for (int i = 0; i < 200; ++i) {
            RegWriteString(RegRoot::LocalMachine, "K\\Sub" + std::to_string(i), "V",
                           std::string(300, 'x'));
        }
    }
    auto bytes = ReadFileBytes(path);
    std::filesystem::remove(path);
    std::filesystem::remove(path + "-journal");
    return bytes;
}

std::string ForeignDatabaseBytes(const TempFolder& folder) {
    const auto path = folder.file("foreign.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    auto bytes = ReadFileBytes(path);
    std::filesystem::remove(path);
    return bytes;
}

struct BrokenFile {
    const char* name;
    std::string (*make)(const TempFolder&);
    friend void PrintTo(const BrokenFile& c, std::ostream* os) { *os << c.name; }
};

class SqliteBrokenFileTest : public SqliteStoreTest,
                             public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(SqliteBrokenFileTest, IsNeverWrittenAndEveryCallFails) {
    const auto bytes = GetParam().make(folder);
    twins.useStore(*store);
    std::filesystem::create_directories(folder.file("machine"));
    WriteFileBytes(machineHive(), bytes);

    EXPECT_FALSE(RegWriteString(RegRoot::LocalMachine, "K", "V", "x"));
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "K\\Sub1", "V"), "");
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "K\\Sub1");
    const auto problem = store->hiveProblem(Hive::Machine);
    EXPECT_NE(problem.find(machineHive()), std::string::npos) << problem;
    EXPECT_NE(problem.find("not a store"), std::string::npos) << problem;
    EXPECT_NE(vemlo::g_LastRegistryError.find(machineHive()), std::string::npos);
    // The other hive is not affected.
    EXPECT_TRUE(RegWriteString(RegRoot::CurrentUser, "K", "V", "x"));
    store.reset();
    EXPECT_EQ(ReadFileBytes(machineHive()), bytes);
    EXPECT_FALSE(std::filesystem::exists(machineHive() + "-journal"));
}

INSTANTIATE_TEST_SUITE_P(Files, SqliteBrokenFileTest,
                         ::testing::Values(BrokenFile{"Garbage",
                                                      [](const TempFolder&) {
                                                          return std::string("not a store\n", 12);
                                                      }},
                                           BrokenFile{"TruncatedHeader",
                                                      [](const TempFolder& f) {
                                                          return MakeStoreBytes(f).substr(0, 100);
                                                      }},
                                           BrokenFile{"TruncatedHalf",
                                                      [](const TempFolder& f) {
                                                          const auto bytes = MakeStoreBytes(f);
                                                          return bytes.substr(0, bytes.size() / 2);
                                                      }},
                                           BrokenFile{"ForeignDatabase", ForeignDatabaseBytes}),
                         [](const auto& info) { return std::string(info.param.name); });

Child StartWriter(const std::vector<std::string>& args) {
    return testing_support::StartChild(args);
}

TEST_F(SqliteStoreTest, FourProcessesWritingOneKeyLoseNothing) {
    constexpr int kWriters = 4;
    constexpr int kValues = 25;
    std::vector<Child> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(StartWriter({kStoreWriter, machineHive(), "Shared\\Key",
                                       "W" + std::to_string(w) + "-", std::to_string(kValues)}));
    }
    for (auto& writer : writers) {
        ASSERT_NE(writer.out, nullptr);
        char line[64];
        while (std::fgets(line, sizeof line, writer.out)) {
        }
        std::fclose(writer.out);
        const int status = Wait(writer.pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    reopen();
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kValues; ++i) {
            const auto name = "W" + std::to_string(w) + "-" + std::to_string(i);
            EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "Shared\\Key", name), std::to_string(i))
                << name;
        }
    }
    EXPECT_EQ(IntegrityCheck(machineHive()), "ok");
}

TEST_F(SqliteStoreTest, AWriterKilledMidwayLeavesASoundStoreWithEveryAcknowledgedWrite) {
    auto writer = StartWriter({kStoreWriter, machineHive(), "Killed\\Key", "V", "100000"});
    ASSERT_NE(writer.out, nullptr);
    int acknowledged = -1;
    char line[64];
    while (acknowledged < 150 && std::fgets(line, sizeof line, writer.out)) {
        std::sscanf(line, "ack %d", &acknowledged);
    }
    ::kill(writer.pid, SIGKILL);
    // Whatever was acknowledged before the kill is read from the pipe too.
    while (std::fgets(line, sizeof line, writer.out)) {
        std::sscanf(line, "ack %d", &acknowledged);
    }
    std::fclose(writer.out);
    Wait(writer.pid);
    ASSERT_GE(acknowledged, 150);
    EXPECT_EQ(IntegrityCheck(machineHive()), "ok");
    reopen();
    EXPECT_EQ(store->hiveProblem(Hive::Machine), "");
    for (int i = 0; i <= acknowledged; ++i) {
        ASSERT_EQ(RegReadString(RegRoot::LocalMachine, "Killed\\Key", "V" + std::to_string(i)),
                  std::to_string(i))
            << i;
    }
}

TEST_F(SqliteStoreTest, AFileTheUserMayNotWriteIsReadButNotWritten) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "stored"));
    store.reset();
    ::chmod(machineHive().c_str(), 0644);
    const auto before = ReadFileBytes(machineHive());
    // Root may write any file, so the probe runs as an unprivileged user when started as root.
    int uid = -1;
    if (::geteuid() == 0) {
        ::chmod(folder.path().c_str(), 0755);
        ::chmod(folder.file("machine").c_str(), 0755);
        uid = 65534;
    } else {
        ::chmod(machineHive().c_str(), 0444);
    }
    auto probe = testing_support::StartChild({kStoreWriter, "--probe", machineHive()}, uid);
    ASSERT_NE(probe.out, nullptr);
    const auto output = testing_support::ReadAll(probe);
    Wait(probe.pid);
    EXPECT_NE(
        output.find("problem=The settings store file '" + machineHive() + "' cannot be written."),
        std::string::npos)
        << output;
    EXPECT_NE(output.find("read=stored\n"), std::string::npos) << output;
    EXPECT_NE(output.find("write=0\n"), std::string::npos) << output;
    EXPECT_EQ(ReadFileBytes(machineHive()), before);
}

} // namespace

namespace {

// Reads hold their lock only while a key is open, so another connection can write right after.
TEST_F(SqliteStoreTest, ReadsLeaveNoLockBehind) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K", "V", "x"));
    SqliteSettingsStore writer(userHive(), machineHive());
    const auto writeByOther = [&] {
        testing_support::WiredToolkit other(
            {.settingsStore = &writer, .messageBoxes = &twins.boxes});
        return RegWriteString(RegRoot::LocalMachine, "P\\K", "V", "y");
    };
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\K", "V"), "x");
    EXPECT_TRUE(writeByOther());
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\Missing", "V"), "");
    EXPECT_TRUE(writeByOther());
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\K", "Missing"), "");
    EXPECT_TRUE(writeByOther());
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Missing");
    EXPECT_TRUE(writeByOther());
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\K", "V"), "y");
}

} // namespace
