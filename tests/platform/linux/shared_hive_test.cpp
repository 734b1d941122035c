// The machine hive in its shared folder as other local users meet it on a stock Debian 12: with
// fs.protected_regular=2 (set by the CTest fixture debian_link_protection), real uids, and only
// what any user may do there (create a file, link, change a mode, open the hive in a program of
// their own).
#include "platform/linux/hive_sharing.h"
#include "platform/linux/machine_hive_setup.h"
#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/child_process.h"
#include "tests/support/shared_folder.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"
#include "toolkit/toolkit_platform.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::AsUser;
using testing_support::kStoreWriter;
using testing_support::ReadAll;
using testing_support::ReadFileBytes;
using testing_support::StartChild;
using testing_support::Wait;

namespace {

constexpr int kRoot = -1;
constexpr int kBob = 65534;
constexpr int kCarol = 65533;

struct stat StatOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

// The file format versions for writing and reading in the header: 1 rollback journal, 2 WAL.
std::string FormatVersions(const std::string& hive) {
    const auto bytes = ReadFileBytes(hive);
    return bytes.size() < 20 ? "" : std::to_string(bytes[18]) + std::to_string(bytes[19]);
}

// Why the link protection of a stock Debian 12 is not in force, or "" when it is.
std::string WithoutDebianProtection() {
    std::ifstream in("/proc/sys/fs/protected_regular");
    std::string value;
    in >> value;
    return value == "2" ? std::string()
                        : "fs.protected_regular is " + value +
                              ", not 2 as on a stock Debian 12; the CTest fixture "
                              "debian_link_protection sets it when it runs as root";
}

// Writes into the journal a hot one without pages that names the super-journal: header, then
// the name's record (lock-byte page number, name, length, checksum, magic).
int WriteJournalNaming(const std::string& journal, std::uint32_t hiveBytes,
                       const std::string& super) {
    constexpr std::uint32_t kPage = 4096;
    constexpr std::uint32_t kSector = 512;
    const std::string magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    const auto be32 = [](std::uint32_t n) {
        return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                           static_cast<char>(n >> 8), static_cast<char>(n)};
    };
    std::uint32_t sum = 0;
    for (const unsigned char c : super) {
        sum += c;
    }
    auto bytes =
        magic + be32(0) + be32(12345) + be32(hiveBytes / kPage) + be32(kSector) + be32(kPage);
    bytes.resize(kSector, '\0');
    bytes += be32(0x40000000 / kPage + 1) + super + be32(static_cast<std::uint32_t>(super.size())) +
             be32(sum) + magic;
    std::ofstream out(journal, std::ios::binary | std::ios::in | std::ios::out);
    out << bytes;
    out.flush();
    return out ? 0 : 1;
}

class SharedHiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "runs only as root: it switches its helper processes to uids " << kBob
                         << " and " << kCarol;
        }
    }

    std::string hive() const { return shared.file("machine.hive"); }
    std::string journal() const { return hive() + "-journal"; }

    // K\V = value, written by root through the store.
    void seed(const std::string& value = "stored") {
        platform::SqliteSettingsStore store(own.file("user.hive"), hive());
        testing_support::WiredToolkit wired({.settingsStore = &store});
        EXPECT_TRUE(vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, "K", "V", value));
    }

    // How the hive looks to the user: "problem=...", "read=<K\V>", "write=<1 when K\W stored>".
    std::string probe(int uid) {
        auto child = StartChild({kStoreWriter, "--probe", hive()}, uid);
        auto output = ReadAll(child);
        Wait(child.pid);
        return output;
    }

    void expectUsable(int uid, const std::string& value = "stored") {
        const auto output = probe(uid);
        EXPECT_NE(output.find("problem=\n"), std::string::npos) << "uid " << uid << ": " << output;
        EXPECT_NE(output.find("read=" + value + "\n"), std::string::npos)
            << "uid " << uid << ": " << output;
        EXPECT_NE(output.find("write=1\n"), std::string::npos) << "uid " << uid << ": " << output;
    }

    void expectRefused(int uid, const std::string& file, const std::string& why) {
        const auto output = probe(uid);
        EXPECT_NE(output.find("problem=The settings store file '" + file + "' " + why),
                  std::string::npos)
            << "uid " << uid << ": " << output;
        EXPECT_NE(output.find("write=0\n"), std::string::npos) << "uid " << uid << ": " << output;
    }

    platform::HiveSetUp setUp() {
        auto result = platform::SetUpSharedHive(hive());
        EXPECT_TRUE(result.done) << result.problem;
        return result;
    }

    testing_support::SharedFolder shared;
    testing_support::TempFolder own;
};

// Item: a user who wrote first owned the hive and its journal, and with fs.protected_regular=2
// root and everyone else then failed for good.
TEST_F(SharedHiveTest, AUserWhoWritesFirstLocksNobodyOut) {
    if (const auto why = WithoutDebianProtection(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const auto first = probe(kBob);
    EXPECT_NE(first.find(std::string("only the owner of its shared folder (uid 0) may create it: "
                                     "run '") +
                         platform::kSetUpCommand + "'"),
              std::string::npos)
        << first;
    EXPECT_NE(first.find("write=0\n"), std::string::npos) << first;
    EXPECT_FALSE(std::filesystem::exists(hive()));
    seed();
    for (const int uid : {kRoot, kBob, kCarol, kRoot}) {
        expectUsable(uid);
    }
    for (const auto& file : {hive(), journal()}) {
        EXPECT_EQ(StatOf(file).st_uid, 0u) << file;
        EXPECT_EQ(StatOf(file).st_mode & 07777, 0666u) << file;
    }
}

TEST_F(SharedHiveTest, AJournalPlantedByAUserIsRefusedByNameUntilTakenOver) {
    if (const auto why = WithoutDebianProtection(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    seed();
    // As a hive made before its journal was made with it.
    std::filesystem::remove(journal());
    ASSERT_EQ(AsUser(kBob,
                     [&] {
                         return ::open(journal().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666) >= 0
                                    ? 0
                                    : 1;
                     }),
              0);
    const auto before = ReadFileBytes(hive());
    for (const int uid : {kRoot, kCarol}) {
        expectRefused(uid, journal(), "belongs to uid 65534");
    }
    EXPECT_EQ(ReadFileBytes(hive()), before);
    EXPECT_EQ(StatOf(journal()).st_uid, 65534u);
    const auto result = setUp();
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_NE(result.changes[0].find("'" + journal() + "' taken over from uid 65534"),
              std::string::npos)
        << result.changes[0];
    for (const int uid : {kRoot, kBob, kCarol}) {
        expectUsable(uid);
    }
}

struct PlantedHive {
    const char* name;
    // Leaves the hive as the user would have; seeded when the hive holds K\V = "stored".
    void (*plant)(const std::string& hive);
    bool seeded;
    friend void PrintTo(const PlantedHive& c, std::ostream* os) { *os << c.name; }
};

class PlantedHiveTest : public SharedHiveTest, public ::testing::WithParamInterface<PlantedHive> {};

// Item: whoever wrote first owned the hive; a user could close it to the others, or make root
// write into her file.
TEST_P(PlantedHiveTest, IsRefusedUnchangedUntilTheOwnerTakesItOver) {
    if (GetParam().seeded) {
        seed();
    }
    GetParam().plant(hive());
    const auto before = ReadFileBytes(hive());
    for (const int uid : {kRoot, kCarol}) {
        expectRefused(uid, hive(), "belongs to uid 65534");
    }
    {
        platform::SqliteSettingsStore store(own.file("user.hive"), hive());
        EXPECT_EQ(store.hiveProblemForUser(platform::Hive::Machine),
                  "Inställningsfilen '" + hive() +
                      "' tillhör inte ägaren av sin delade mapp och används inte. Mappens ägare "
                      "kan ta över den med 'vemlo-reg init-machine-hive'.");
    }
    EXPECT_EQ(ReadFileBytes(hive()), before);
    EXPECT_EQ(StatOf(hive()).st_uid, 65534u);
    const auto result = setUp();
    ASSERT_FALSE(result.changes.empty());
    EXPECT_NE(result.changes.back().find("'" + hive() + "' taken over from uid 65534"),
              std::string::npos)
        << result.changes.back();
    for (const auto& file : {hive(), journal()}) {
        EXPECT_EQ(StatOf(file).st_uid, 0u) << file;
        EXPECT_EQ(StatOf(file).st_mode & 07777, 0666u) << file;
    }
    for (const int uid : {kCarol, kBob, kRoot}) {
        expectUsable(uid, GetParam().seeded ? "stored" : "");
    }
}

// The user's own files, as an earlier version left them to whoever wrote first.
void WroteFirst(const std::string& hive) {
    for (const auto& file : {hive, hive + "-journal"}) {
        ASSERT_EQ(::chown(file.c_str(), kBob, kBob), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hives, PlantedHiveTest,
    ::testing::Values(PlantedHive{"EmptyBeforeFirstUse",
                                  [](const std::string& hive) {
                                      ASSERT_EQ(AsUser(kBob,
                                                       [&] {
                                                           return ::open(hive.c_str(),
                                                                         O_WRONLY | O_CREAT,
                                                                         0600) >= 0
                                                                      ? 0
                                                                      : 1;
                                                       }),
                                                0);
                                  },
                                  false},
                      PlantedHive{"WrittenFirstByAUser", WroteFirst, true},
                      PlantedHive{"WrittenFirstAndClosedToOthers",
                                  [](const std::string& hive) {
                                      WroteFirst(hive);
                                      ASSERT_EQ(
                                          AsUser(kBob, [&] { return ::chmod(hive.c_str(), 0600); }),
                                          0);
                                  },
                                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SharedHiveTest, SettingUpAgainChangesNothing) {
    EXPECT_TRUE(setUp().changes.empty());
    for (const auto& file : {hive(), journal()}) {
        EXPECT_EQ(StatOf(file).st_uid, 0u) << file;
        EXPECT_EQ(StatOf(file).st_mode & 07777, 0666u) << file;
    }
    // Never a file without its schema, and nothing else left beside it.
    EXPECT_GT(StatOf(hive()).st_size, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shared.path()),
                            std::filesystem::directory_iterator()),
              2);
    seed();
    // An administrator's own choice of mode stays.
    ::chmod(hive().c_str(), 0644);
    const auto before = ReadFileBytes(hive());
    EXPECT_TRUE(setUp().changes.empty());
    EXPECT_EQ(ReadFileBytes(hive()), before);
    EXPECT_EQ(StatOf(hive()).st_mode & 07777, 0644u);
}

TEST_F(SharedHiveTest, AFileThatIsNotAStoreIsRenamedAsideAndKept) {
    testing_support::WriteFileBytes(hive(), "not a store\n");
    ::chown(hive().c_str(), kBob, kBob);
    const auto result = setUp();
    ASSERT_EQ(result.changes.size(), 2u);
    EXPECT_NE(result.changes[1].find("'" + hive() + "' is not a store: renamed to '" + hive() +
                                     ".aside-"),
              std::string::npos)
        << result.changes[1];
    const auto aside = result.changes[1].substr(result.changes[1].rfind(" '") + 2);
    EXPECT_EQ(ReadFileBytes(aside.substr(0, aside.size() - 1)), "not a store\n");
    expectUsable(kCarol, "");
}

// The command the package runs, with its exit codes: only the folder's owner sets the hive up.
TEST_F(SharedHiveTest, TheSetUpCommandRunsOnlyForTheFoldersOwner) {
    testing_support::SetEnvironment("VEMLO_MACHINE_HIVE", hive().c_str());
    const auto run = [&](int uid) {
        auto child = StartChild({VEMLO_REG_PATH, "init-machine-hive"}, uid);
        ReadAll(child);
        const int status = Wait(child.pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(kBob), 3);
    EXPECT_FALSE(std::filesystem::exists(hive()));
    EXPECT_EQ(run(kRoot), 0);
    EXPECT_EQ(run(kRoot), 0);
    EXPECT_EQ(run(kBob), 3);
    testing_support::SetEnvironment("VEMLO_MACHINE_HIVE", nullptr);
    expectUsable(kBob, "");
}

// Item: `ln machine.hive machine.hive-journal` made the next reader take the hive for a hot
// journal and truncate it to nothing.
TEST_F(SharedHiveTest, AHardLinkPlantedAsTheJournalNeitherEmptiesNorServesTheHive) {
    seed();
    std::filesystem::remove(journal());
    ASSERT_EQ(AsUser(kBob, [&] { return ::link(hive().c_str(), journal().c_str()); }), 0);
    const auto before = ReadFileBytes(hive());
    // The hive is the file with two names.
    for (const int uid : {kCarol, kRoot}) {
        expectRefused(uid, hive(), "has 2 links");
    }
    EXPECT_EQ(ReadFileBytes(hive()), before);
    const auto result = setUp();
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_NE(result.changes[0].find("'" + journal() + "' was a second name of the hive: removed"),
              std::string::npos)
        << result.changes[0];
    EXPECT_EQ(StatOf(hive()).st_nlink, 1u);
    expectUsable(kCarol);
}

// A journal that any user may write named a super-journal: SQLite read that file and then
// deleted it, anywhere on the system, in root's process.
TEST_F(SharedHiveTest, ASuperJournalNamedInACraftedJournalIsNeverReadNorDeleted) {
    seed();
    for (const auto& victim : {own.file("precious"), own.file("precious-journal")}) {
        std::ofstream(victim) << "root's";
        const auto hiveBytes = static_cast<std::uint32_t>(StatOf(hive()).st_size);
        ASSERT_EQ(AsUser(kBob, [&] { return WriteJournalNaming(journal(), hiveBytes, victim); }),
                  0);
        probe(kRoot);
        EXPECT_EQ(ReadFileBytes(victim), "root's") << victim;
    }
    std::filesystem::remove(own.file("precious-journal"));
    std::ofstream(journal(), std::ios::trunc).flush();
    expectUsable(kRoot);
}

// A sparse file with a second name: its copy was written out in full, so a terabyte that cost
// the user nothing filled the folder's file system in root's set-up (and the package's postinst).
TEST_F(SharedHiveTest, ASparseFileWithASecondNameIsCopiedWithItsHoles) {
    seed();
    const auto shm = hive() + "-shm";
    constexpr off_t kSize = 64 << 20;
    ASSERT_EQ(AsUser(kBob,
                     [&] {
                         const int fd = ::open(shm.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
                         const bool made = fd >= 0 && ::pwrite(fd, "x", 1, kSize / 2) == 1 &&
                                           ::ftruncate(fd, kSize) == 0;
                         ::close(fd);
                         return made && ::link(shm.c_str(), shared.file("bobs-name").c_str()) == 0
                                    ? 0
                                    : 1;
                     }),
              0);
    const auto result = setUp();
    ASSERT_EQ(result.changes.size(), 1u);
    const auto copy = StatOf(shm);
    EXPECT_EQ(copy.st_nlink, 1u);
    EXPECT_EQ(copy.st_size, kSize);
    EXPECT_LT(copy.st_blocks * 512, 1 << 20) << "the holes were written out";
    EXPECT_EQ(ReadFileBytes(shm).substr(kSize / 2, 2), std::string("x\0", 2));
    expectUsable(kCarol);
}

// The set-up waited for a lock without end: a user holding the hive held the package's postinst.
TEST_F(SharedHiveTest, TheSetUpUnderAUsersLockEndsWithinItsBudget) {
    seed();
    const pid_t holder = testing_support::RunSqlAsUser(
        hive(), kBob, "BEGIN EXCLUSIVE; SELECT count(*) FROM keys;", true);
    ASSERT_GT(holder, 0);
    auto setUp = std::async(std::launch::async, [&] { return platform::SetUpSharedHive(hive()); });
    const bool ended = setUp.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    ::kill(holder, SIGKILL);
    Wait(holder);
    const auto result = setUp.get();
    EXPECT_TRUE(ended) << "still waiting after 10 s";
    EXPECT_FALSE(result.done);
    EXPECT_NE(result.problem.find("locked"), std::string::npos) << result.problem;
    expectUsable(kCarol);
}

// A hot journal keeps its rollback when it gets a file of its own.
TEST_F(SharedHiveTest, AHotJournalWithASecondNameIsRolledBackFromAFileOfItsOwn) {
    seed();
    const auto seeded = ReadFileBytes(hive());
    const pid_t writer = testing_support::StartDyingWriter(hive(), kBob);
    ASSERT_GT(writer, 0);
    ::kill(writer, SIGKILL);
    Wait(writer);
    ASSERT_NE(ReadFileBytes(hive()), seeded) << "the half-done writes did not reach the hive";
    const auto other = shared.file("bobs-name");
    ASSERT_EQ(AsUser(kBob, [&] { return ::link(journal().c_str(), other.c_str()); }), 0);
    ASSERT_GT(StatOf(journal()).st_size, 0);
    expectRefused(kCarol, journal(), "has 2 links");
    const auto result = setUp();
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_NE(result.changes[0].find("'" + journal() + "' had 2 names: its contents were copied"),
              std::string::npos)
        << result.changes[0];
    // Rolled back: the hive is what it was before the writer began.
    EXPECT_EQ(ReadFileBytes(hive()), seeded);
    expectUsable(kCarol);
}

TEST_F(SharedHiveTest, AHiveWithASecondNameGetsAFileOfItsOwn) {
    seed();
    const auto other = shared.file("bobs-name");
    ASSERT_EQ(AsUser(kBob, [&] { return ::link(hive().c_str(), other.c_str()); }), 0);
    expectRefused(kRoot, hive(), "has 2 links");
    const auto before = ReadFileBytes(hive());
    const auto result = setUp();
    ASSERT_EQ(result.changes.size(), 1u);
    EXPECT_NE(result.changes[0].find("its contents were copied to a file of its own"),
              std::string::npos)
        << result.changes[0];
    expectUsable(kCarol);
    EXPECT_EQ(ReadFileBytes(other), before);
    EXPECT_EQ(StatOf(other).st_nlink, 1u);
}

// A program of the user's own switches the hive to WAL and writes to it, as the sqlite3 shell
// would; with keepOpen it holds the hive open until it is killed. SQLite removes the rollback
// journal when it switches, which she may not do to the folder owner's journal, so this is a
// hive from before the journal was made with it.
pid_t SwitchToWal(const std::string& hive, bool keepOpen) {
    std::filesystem::remove(hive + "-journal");
    // Truncating first: she may not remove the journal, which belongs to the folder's owner.
    return testing_support::RunSqlAsUser(hive, kBob,
                                         "PRAGMA journal_mode=TRUNCATE; PRAGMA journal_mode=WAL;"
                                         "UPDATE vals SET data='from wal' WHERE name='V'",
                                         keepOpen);
}

TEST_F(SharedHiveTest, AHiveLeftInWalIsSwitchedBackByTheOwnersNextWrite) {
    seed();
    const pid_t user = SwitchToWal(hive(), false);
    ASSERT_GT(user, 0);
    Wait(user);
    ASSERT_EQ(FormatVersions(hive()), "22");
    expectRefused(kCarol, hive(), "uses WAL");
    expectUsable(kRoot, "from wal");
    EXPECT_EQ(FormatVersions(hive()), "11");
    EXPECT_FALSE(std::filesystem::exists(hive() + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(hive() + "-shm"));
    expectUsable(kCarol, "from wal");
}

// SQLite takes an empty WAL file for none, and so does the store; one with something in it
// would be taken up, so it is refused by name.
TEST_F(SharedHiveTest, AWalPlantedByAUserIsIgnoredWhileEmptyAndElseRefusedByName) {
    seed();
    const auto wal = hive() + "-wal";
    const auto plant = [&](const char* bytes) {
        return AsUser(kBob, [&] {
            const int fd = ::open(wal.c_str(), O_WRONLY | O_CREAT, 0666);
            const auto size = static_cast<ssize_t>(std::strlen(bytes));
            return fd >= 0 && ::write(fd, bytes, static_cast<std::size_t>(size)) == size ? 0 : 1;
        });
    };
    ASSERT_EQ(plant(""), 0);
    for (const int uid : {kCarol, kRoot}) {
        expectUsable(uid);
    }
    EXPECT_FALSE(std::filesystem::exists(hive() + "-shm"));
    ASSERT_EQ(plant("frames"), 0);
    const auto before = ReadFileBytes(hive());
    for (const int uid : {kCarol, kRoot}) {
        expectRefused(uid, wal, "belongs to uid 65534");
    }
    EXPECT_EQ(ReadFileBytes(hive()), before);
    EXPECT_FALSE(std::filesystem::exists(hive() + "-shm"));
    EXPECT_EQ(setUp().changes.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(wal));
    for (const int uid : {kCarol, kBob, kRoot}) {
        expectUsable(uid);
    }
}

TEST_F(SharedHiveTest, AUsersWalIsRefusedByNameUntilTakenOverWithItsContents) {
    seed();
    const pid_t user = SwitchToWal(hive(), true);
    ASSERT_GT(user, 0);
    EXPECT_EQ(StatOf(hive() + "-wal").st_uid, 65534u);
    for (const int uid : {kCarol, kRoot}) {
        expectRefused(uid, hive() + "-wal", "belongs to uid 65534");
    }
    ::kill(user, SIGKILL);
    Wait(user);
    const auto result = setUp();
    EXPECT_EQ(result.changes.size(), 2u);
    EXPECT_EQ(FormatVersions(hive()), "11");
    EXPECT_FALSE(std::filesystem::exists(hive() + "-wal"));
    for (const int uid : {kCarol, kBob, kRoot}) {
        expectUsable(uid, "from wal");
    }
}

} // namespace
