#include "config/lumra_configs.h"
#include "platform/linux/sqlite_settings_store.h"
#include "platform/store_deadline.h"
#include "tests/support/child_process.h"
#include "tests/support/dying_store.h"
#include "tests/support/shared_folder.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/sqlite_hives.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/registry_batch.h"
#include "toolkit/settings/store_failures.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using platform::Hive;
using platform::SqliteSettingsStore;
using testing_support::HeldLock;
using testing_support::kStoreWriter;
using testing_support::ReadAll;
using testing_support::ReadFileBytes;
using testing_support::SharedFolder;
using testing_support::StartChild;
using testing_support::TempFolder;
using testing_support::Wait;
using vemlo::RegReadString;
using vemlo::RegRoot;
using vemlo::RegWriteString;

namespace {

const std::string kSlots = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Configurations\\Config-";
constexpr int kOtherUid = 65534;
constexpr int kThirdUid = 65533;

class HardeningTest : public ::testing::Test, protected testing_support::SqliteHives {
protected:
    HardeningTest()
        : SqliteHives("user.hive", "machine/machine.hive") {}

    std::string hive() const { return machineHive(); }

    void storeSlots(int count) {
        for (int n = 0; n < count; ++n) {
            for (const char* name : {"Name", "DataProvider", "ExportPathBokforing"}) {
                ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, kSlots + std::to_string(n), name,
                                           std::string(name) + std::to_string(n)));
            }
        }
    }
};

TEST_F(HardeningTest, ALoadThatMeetsALockIsIncompleteAndItsSaveDeletesNothing) {
    storeSlots(4);
    const auto before = ReadFileBytes(hive());
    HeldLock lock(hive());
    lumra::TLumraConfigs configs;
    configs.Load();
    EXPECT_FALSE(configs.LoadComplete());
    EXPECT_NE(configs.LoadProblem().find(hive()), std::string::npos) << configs.LoadProblem();
    EXPECT_NE(configs.LoadProblem().find("låst"), std::string::npos) << configs.LoadProblem();
    lock.release();
    configs.Add();
    EXPECT_FALSE(configs.Save());
    EXPECT_EQ(ReadFileBytes(hive()), before);
    configs.Load();
    EXPECT_TRUE(configs.LoadComplete());
    EXPECT_EQ(configs.Count(), 4);
}

TEST_F(HardeningTest, AReadFailureMarkSeesOnlyFailuresAfterIt) {
    storeSlots(1);
    {
        HeldLock lock(hive());
        const vemlo::ReadFailureMark early;
        EXPECT_EQ(RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name"), "");
        EXPECT_TRUE(early.failed());
        EXPECT_NE(early.detail().find("locked"), std::string::npos) << early.detail();
    }
    const vemlo::ReadFailureMark late;
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, kSlots + "0", "Missing"), "");
    EXPECT_FALSE(late.failed());
    EXPECT_EQ(late.message(), "");
}

// The names as the file holds them, byte for byte: lookups ignore case, so nothing else would
// notice a key constant in the wrong case.
TEST_F(HardeningTest, SaveStoresTheNamesExactlyAsTheServiceReadsThem) {
    lumra::TLumraConfigs configs;
    configs.Add();
    ASSERT_TRUE(configs.Save());
    store.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(hive().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const auto names = [&](const char* sql) {
        std::string all;
        sqlite3_exec(
            db, sql,
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) += std::string(values[0]) + "|";
                return 0;
            },
            &all, nullptr);
        return all;
    };
    EXPECT_EQ(names("SELECT name FROM keys ORDER BY id"),
              "SOFTWARE|Vemlo|Lumra-Bokforing-Service|Configurations|Config-0|");
    EXPECT_EQ(names("SELECT name FROM vals ORDER BY rowid"), "");
    EXPECT_EQ(names("SELECT name FROM vals ORDER BY name"),
              "DataProvider|ExportFilename|ExportPathBokforing|Name|");
    sqlite3_close(db);
}

TEST_F(HardeningTest, ABatchIsSeenByOthersWholeAtItsEnd) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "A", "old"));
    SqliteSettingsStore reader(folder.file("user.hive"), hive());
    const auto readByOther = [&](const char* name) {
        testing_support::WiredToolkit other(
            {.settingsStore = &reader, .messageBoxes = &twins.boxes});
        return RegReadString(RegRoot::LocalMachine, "K", name);
    };
    {
        vemlo::RegistryBatch batch(RegRoot::LocalMachine);
        EXPECT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "A", "new"));
        // A write that fails inside the batch fails alone.
        EXPECT_FALSE(RegWriteString(RegRoot::LocalMachine, "K", "B", std::string(1025, 'x')));
        EXPECT_TRUE(RegWriteString(RegRoot::LocalMachine, "K\\Sub", "C", "new"));
        EXPECT_EQ(readByOther("A"), "old");
        EXPECT_TRUE(batch.end());
    }
    EXPECT_EQ(readByOther("A"), "new");
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "K\\Sub", "C"), "new");
}

TEST_F(HardeningTest, ADeleteKilledMidwayLeavesTheWholeSubtree) {
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K\\Sub" + std::to_string(i) + "\\L",
                                   "V", "x"));
    }
    store.reset();
    const pid_t pid = ::fork();
    if (pid == 0) {
        SqliteSettingsStore own(folder.file("user.hive"), hive());
        testing_support::DyingStore dying(own, testing_support::DyingStore::At::DeleteSubKey, 5);
        twins.useStore(dying);
        vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\K");
        ::_exit(0);
    }
    const int status = Wait(pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << status;
    reopen();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(
            RegReadString(RegRoot::LocalMachine, "P\\K\\Sub" + std::to_string(i) + "\\L", "V"), "x")
            << i;
    }
}

TEST_F(HardeningTest, AKeyNameLongerThanTheListingsBufferIsRefused) {
    EXPECT_FALSE(RegWriteString(RegRoot::LocalMachine, "P\\" + std::string(256, 'k'), "V", "x"));
    EXPECT_NE(vemlo::LastWriteFailure().find("255"), std::string::npos);
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\" + std::string(255, 'k'), "V", "x"));
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\" + std::string(255, 'k'));
    platform::KeyHandle key = 0;
    EXPECT_EQ(store->openKey(Hive::Machine, "P\\" + std::string(255, 'k'), key),
              platform::kFileNotFound);
}

TEST_F(HardeningTest, ProcessesRacingOnANewHiveAllSucceed) {
    constexpr int kWriters = 8;
    for (int round = 0; round < 4; ++round) {
        const auto path = folder.file("race" + std::to_string(round) + ".hive");
        std::vector<testing_support::Child> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.push_back(
                StartChild({kStoreWriter, path, "K", "W" + std::to_string(w) + "-", "3"}));
        }
        for (auto& writer : writers) {
            ReadAll(writer);
            const int status = Wait(writer.pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << "round " << round << ": " << status;
        }
    }
}

// The header's size in pages, at its offset 28, set to pages more than the file holds.
void RunHeaderAhead(const std::string& path, std::uint32_t pages) {
    auto bytes = ReadFileBytes(path);
    const std::uint32_t pageSize = (std::uint32_t{static_cast<unsigned char>(bytes[16])} << 8) |
                                   static_cast<unsigned char>(bytes[17]);
    const auto count = static_cast<std::uint32_t>(bytes.size() / pageSize) + pages;
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(28 + i)] = static_cast<char>(count >> (24 - 8 * i));
    }
    testing_support::WriteFileBytes(path, bytes);
}

// A process that commits writes the header's new size before the pages it adds; a reader that
// looks meanwhile must not take the store for a foreign file.
TEST_F(HardeningTest, AHeaderAheadOfTheFilesLengthIsWaitedForNotRefused) {
    storeSlots(1);
    store.reset();
    const auto size = std::filesystem::file_size(hive());
    RunHeaderAhead(hive(), 2);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::filesystem::resize_file(hive(), size * 2);
    });
    reopen();
    const vemlo::ReadFailureMark mark;
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name"), "Name0");
    EXPECT_FALSE(mark.failed()) << mark.detail();
    writer.join();
}

TEST_F(HardeningTest, AFileShorterThanItsHeaderSaysIsRefusedAtTheDeadlineAndNotChanged) {
    storeSlots(1);
    store.reset();
    RunHeaderAhead(hive(), 2);
    const auto before = ReadFileBytes(hive());
    reopen();
    const auto started = std::chrono::steady_clock::now();
    const vemlo::ReadFailureMark mark;
    {
        const platform::ActionBudget action(std::chrono::milliseconds(300));
        EXPECT_EQ(RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name"), "");
        EXPECT_FALSE(RegWriteString(RegRoot::LocalMachine, kSlots + "0", "Name", "x"));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_NE(mark.detail().find("is not a store"), std::string::npos) << mark.detail();
    EXPECT_EQ(ReadFileBytes(hive()), before);
}

// Each statement used to wait the whole busy timeout on its own: an action of many calls waited
// minutes.
TEST_F(HardeningTest, AnActionUnderALockWaitsOneBudgetInAllAndStoresNothing) {
    storeSlots(2);
    const auto before = ReadFileBytes(hive());
    HeldLock lock(hive());
    const auto started = std::chrono::steady_clock::now();
    bool stored = false;
    lumra::TLumraConfigs configs;
    {
        const platform::ActionBudget action(std::chrono::milliseconds(500));
        for (int i = 0; i < 6; ++i) {
            stored =
                RegWriteString(RegRoot::LocalMachine, kSlots + "0", "Name", "changed") || stored;
            EXPECT_EQ(RegReadString(RegRoot::LocalMachine, kSlots + "1", "Name"), "");
        }
        vemlo::DeleteRegKey(RegRoot::LocalMachine, kSlots + "1");
        configs.Load();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_FALSE(stored);
    EXPECT_FALSE(configs.LoadComplete());
    EXPECT_NE(vemlo::LastWriteFailure().find("locked"), std::string::npos)
        << vemlo::LastWriteFailure();
    lock.release();
    EXPECT_EQ(ReadFileBytes(hive()), before);
}

// Tests that switch to other users; they need root to do so.
class OtherUsersTest : public HardeningTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "runs only as root: it switches its helper processes to uids "
                         << kOtherUid << " and " << kThirdUid;
        }
        placeMachineHive(shared.file("machine/machine.hive"));
        reopen();
    }

    // The probe's report as seen by the user.
    std::string probe(int uid) {
        auto child = StartChild({kStoreWriter, "--probe", hive()}, uid);
        auto output = ReadAll(child);
        Wait(child.pid);
        return output;
    }

    SharedFolder shared;
};

TEST_F(OtherUsersTest, AWriterOfAnotherUserDyingMidwayLocksNobodyOut) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "stored"));
    store.reset();
    // The journal, the folder owner's file, is left hot.
    const pid_t writer = testing_support::StartDyingWriter(hive(), kOtherUid);
    ASSERT_GT(writer, 0);
    ::kill(writer, SIGKILL);
    Wait(writer);
    ASSERT_GT(std::filesystem::file_size(hive() + "-journal"), 0u);
    for (int round = 0; round < 2; ++round) {
        const auto output = probe(kThirdUid);
        EXPECT_NE(output.find("problem=\n"), std::string::npos) << output;
        EXPECT_NE(output.find("read=stored\n"), std::string::npos) << output;
        EXPECT_NE(output.find("write=1\n"), std::string::npos) << output;
    }
    reopen();
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "K", "W"), "x");
    EXPECT_EQ(testing_support::IntegrityCheck(hive()), "ok");
    // Rolled back and emptied by others, never removed: it is still the folder owner's.
    struct stat journal {};
    ASSERT_EQ(::stat((hive() + "-journal").c_str(), &journal), 0);
    EXPECT_EQ(journal.st_uid, 0u);
}

TEST_F(OtherUsersTest, AFileWritableInAFolderThatIsNotIsReportedAtStart) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "stored"));
    store.reset();
    std::filesystem::remove(hive() + "-journal");
    ::chmod(shared.file("machine").c_str(), 0755);
    const auto output = probe(kOtherUid);
    EXPECT_NE(output.find("problem=The settings store file '" + hive() + "' cannot be written"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("read=stored\n"), std::string::npos) << output;
}

struct Planted {
    const char* name;
    const char* at; // beside the hive
    void (*plant)(const std::string& at, const std::string& outside);
    friend void PrintTo(const Planted& c, std::ostream* os) { *os << c.name; }
};

class PlantedTest : public OtherUsersTest, public ::testing::WithParamInterface<Planted> {};

TEST_P(PlantedTest, NeitherHangsNorTouchesAnythingOutside) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "stored"));
    store.reset();
    std::filesystem::remove(hive() + "-journal");
    TempFolder outside;
    testing_support::WriteFileBytes(outside.file("file"), "");
    ::chmod(outside.path().c_str(), 0700);
    const std::string at = shared.file(std::string("machine/") + GetParam().at);
    if (std::string(GetParam().at) == "machine.hive") {
        std::filesystem::remove(at);
    }
    GetParam().plant(at, outside.path().string());
    // Root meets it as well as any other user.
    const auto output = probe(-1);
    EXPECT_NE(output.find("problem=The settings store file '"), std::string::npos) << output;
    EXPECT_NE(output.find(GetParam().at), std::string::npos) << output;
    EXPECT_NE(output.find("write=0\n"), std::string::npos) << output;
    EXPECT_EQ(ReadFileBytes(outside.file("file")), "");
    struct stat info {};
    ASSERT_EQ(::stat(outside.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside.path()),
                            std::filesystem::directory_iterator()),
              1);
}

void Fifo(const std::string& at, const std::string&) {
    ::mkfifo(at.c_str(), 0666);
}
void LinkToFile(const std::string& at, const std::string& outside) {
    std::filesystem::create_symlink(outside + "/file", at);
}
void LinkToFolder(const std::string& at, const std::string& outside) {
    std::filesystem::create_directory_symlink(outside, at);
}
void Folder(const std::string& at, const std::string&) {
    std::filesystem::create_directory(at);
}

INSTANTIATE_TEST_SUITE_P(
    Objects, PlantedTest,
    ::testing::Values(Planted{"FifoJournal", "machine.hive-journal", Fifo},
                      Planted{"JournalLinkedToAFile", "machine.hive-journal", LinkToFile},
                      Planted{"JournalLinkedToAFolder", "machine.hive-journal", LinkToFolder},
                      Planted{"FolderAsJournal", "machine.hive-journal", Folder},
                      Planted{"HiveLinkedToAFile", "machine.hive", LinkToFile},
                      Planted{"FifoHive", "machine.hive", Fifo}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

TEST_F(OtherUsersTest, AFolderLinkPlantedWhereTheHivesFolderBelongsIsRefused) {
    TempFolder outside;
    ::chmod(outside.path().c_str(), 0700);
    std::filesystem::create_directory_symlink(outside.path(), shared.file("linked"));
    auto child = StartChild({kStoreWriter, "--probe", shared.file("linked/machine.hive")});
    const auto output = ReadAll(child);
    Wait(child.pid);
    EXPECT_NE(output.find("is not a folder"), std::string::npos) << output;
    EXPECT_NE(output.find("write=0\n"), std::string::npos) << output;
    struct stat info {};
    ASSERT_EQ(::stat(outside.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_TRUE(std::filesystem::is_empty(outside.path()));
}

} // namespace
