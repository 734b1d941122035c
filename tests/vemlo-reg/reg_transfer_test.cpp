#include "platform/store_text.h"
#include "tests/support/child_process.h"
#include "tests/support/dying_store.h"
#include "tests/support/sqlite_hives.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"
#include "vemlo-reg/reg_command.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using platform::Hive;
using vemlo::RegRoot;

namespace {

const std::string kFirst = "VEMLO-REG EXPORT 1\n";

// Names and values that a line-based format could get wrong.
const std::vector<std::pair<std::string, std::string>> kAwkward = {
    {"", "the default"},
    {"@", "a value named @"},
    {"a=b", "x=y"},
    {"two\nlines", "one\r\ntwo\n"},
    {"quote\"back\\slash", "\\\"\\"},
    {"tab\tbell\x07", "\x1b[31mred\x7f\u0085"},
    {"empty", ""},
    {"Göteborg ΣΟΦΙΑ 𐐀", "värde"},
    {std::string(1024, 'n'), std::string(1024, 'v')},
};
const std::vector<std::string> kKeys = {"S\\K", "S\\K\\Sub]x", "S\\K\\\"q\"\\deep", "S\\K\\Empty"};

class RegTransferTest : public ::testing::Test {
protected:
    int run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return RunRegCommand(args, out, err);
    }
    void storeAwkward() {
        for (const auto& key : kKeys) {
            for (const auto& [name, value] : kAwkward) {
                if (key != kKeys.back()) {
                    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, key, name, value));
                }
            }
        }
        platform::KeyHandle handle = 0;
        ASSERT_EQ(twins.store.createKey(Hive::Machine, kKeys.back(), true, handle),
                  platform::kSuccess);
        twins.store.closeKey(handle);
    }
    void expectAwkward() {
        for (const auto& key : kKeys) {
            EXPECT_TRUE(twins.store.keyExists(Hive::Machine, key)) << key;
            for (const auto& [name, value] : kAwkward) {
                EXPECT_EQ(twins.store.storedValue(Hive::Machine, key, name),
                          key == kKeys.back() ? std::nullopt : std::optional<std::string>(value))
                    << key << " " << name;
            }
        }
    }

    testing_support::ToolkitTwins twins;
    testing_support::TempFolder folder;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RegTransferTest, AnExportImportsBackExactly) {
    storeAwkward();
    ASSERT_EQ(run({"export", "S\\K", folder.file("backup.txt")}), kRegOk) << err.str();
    ASSERT_EQ(run({"delete", "S\\K"}), kRegOk);
    ASSERT_FALSE(twins.store.keyExists(Hive::Machine, "S\\K"));
    ASSERT_EQ(run({"import", folder.file("backup.txt")}), kRegOk) << err.str();
    expectAwkward();
    // Every entry is one line: the first line, a blank and a header per key (the keys and the
    // key "q" on the way to "deep"), and a line per value.
    const auto text = testing_support::ReadFileBytes(folder.file("backup.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              static_cast<long>(1 + (kKeys.size() + 1) * 2 + (kKeys.size() - 1) * kAwkward.size()));
}

TEST_F(RegTransferTest, ExportWithoutAFileWritesToStandardOutput) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "A\\B", "", "standard"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "A\\B\\C", "V", "x"));
    ASSERT_EQ(run({"export", "A\\B"}), kRegOk);
    EXPECT_EQ(out.str(),
              kFirst + "\n[\"A\\\\B\"]\n@=\"standard\"\n\n[\"A\\\\B\\\\C\"]\n\"V\"=\"x\"\n");
}

TEST_F(RegTransferTest, ImportAddsAndOverwritesButDeletesNothing) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "A", "Kept", "old"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "A", "Changed", "old"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "A\\Other", "V", "old"));
    testing_support::WriteFileBytes(folder.file("in.txt"),
                                    kFirst + "[\"A\"]\r\n\"Changed\"=\"new\"\n; a comment\n\n"
                                             "[\"A\\\\New\"]\n\"V\"=\"\\u{E5}\\x41\"\n");
    ASSERT_EQ(run({"import", folder.file("in.txt")}), kRegOk) << err.str();
    EXPECT_EQ(twins.store.storedValue(Hive::Machine, "A", "Kept"), "old");
    EXPECT_EQ(twins.store.storedValue(Hive::Machine, "A", "Changed"), "new");
    EXPECT_EQ(twins.store.storedValue(Hive::Machine, "A\\Other", "V"), "old");
    EXPECT_EQ(twins.store.storedValue(Hive::Machine, "A\\New", "V"), "åA");
}

struct Malformed {
    const char* name;
    std::string text;
    int line;
    const char* what;
    friend void PrintTo(const Malformed& c, std::ostream* os) { *os << c.name; }
};

class RegImportMalformedTest : public RegTransferTest,
                               public ::testing::WithParamInterface<Malformed> {};

TEST_P(RegImportMalformedTest, IsRefusedWithItsLineAndWritesNothing) {
    const auto& c = GetParam();
    testing_support::WriteFileBytes(folder.file("bad.txt"), c.text);
    EXPECT_EQ(run({"import", folder.file("bad.txt")}), kRegUsage);
    EXPECT_NE(err.str().find(folder.file("bad.txt") + ":" + std::to_string(c.line) + ": "),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find(c.what), std::string::npos) << err.str();
    EXPECT_FALSE(twins.store.keyExists(Hive::Machine, "A"));
}

const std::string kGood = kFirst + "[\"A\"]\n\"V\"=\"x\"\n";

INSTANTIATE_TEST_SUITE_P(
    Files, RegImportMalformedTest,
    ::testing::Values(
        Malformed{"Empty", "", 1, "not an export"},
        Malformed{"WrongFirstLine", "REGEDIT4\n" + kGood, 1, "not an export"},
        Malformed{"ValueBeforeKey", kFirst + "\"V\"=\"x\"\n", 2, "before the first key"},
        Malformed{"UnclosedQuote", kGood + "\"W\"=\"x\n", 4, "closing quote"},
        Malformed{"RawControl", kGood + "\"W\"=\"a\tb\"\n", 4, "control character"},
        Malformed{"BadEscape", kGood + "\"W\"=\"\\q\"\n", 4, "bad escape"},
        Malformed{"NoEquals", kGood + "\"W\" \"x\"\n", 4, "\"=\" was expected"},
        Malformed{"TextAfterValue", kGood + "\"W\"=\"x\" y\n", 4, "text after the value"},
        Malformed{"HeaderNotClosed", kGood + "[\"B\"\n", 4, "must end in"},
        Malformed{"BadKeyPath", kGood + "[\"B\\\\\\\\C\"]\n", 4, "not a valid key path"},
        Malformed{"LongKeyName", kGood + "[\"" + std::string(256, 'k') + "\"]\n", 4,
                  "longer than 255"},
        Malformed{"LongValue", kGood + "\"W\"=\"" + std::string(1025, 'v') + "\"\n", 4,
                  "longer than 1024"},
        Malformed{"EmptyQuotedName", kGood + "\"\"=\"x\"\n", 4, "written @="}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegTransferTest, AnImportWhoseBatchCannotBeginWritesNothingAndSaysWhy) {
    storeAwkward();
    ASSERT_EQ(run({"export", "S", folder.file("s.reg")}), kRegOk) << err.str();
    vemlo::DeleteRegKey(RegRoot::LocalMachine, kKeys.back());
    twins.store.failNext(platform::MemorySettingsStore::Call::BeginBatch, platform::kBusy);
    EXPECT_EQ(run({"import", folder.file("s.reg")}), kRegStoreFailed);
    EXPECT_NE(err.str().find("nothing was imported"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(platform::StandardStatusMessage(platform::kBusy)), std::string::npos)
        << err.str();
    EXPECT_FALSE(twins.store.keyExists(Hive::Machine, kKeys.back()));
}

TEST_F(RegTransferTest, AnImportMayStartWithAByteOrderMark) {
    testing_support::WriteFileBytes(folder.file("bom.txt"),
                                    "\xEF\xBB\xBF" + kFirst + "[\"A\"]\n\"V\"=\"x\"\n");
    ASSERT_EQ(run({"import", folder.file("bom.txt")}), kRegOk) << err.str();
    EXPECT_EQ(twins.store.storedValue(Hive::Machine, "A", "V"), "x");
}

TEST_F(RegTransferTest, AnImportLargerThanItsLimitIsRefusedUnread) {
    auto text = kFirst + "[\"A\"]\n";
    text += std::string(kRegImportLimitBytes - text.size() + 1, ';');
    testing_support::WriteFileBytes(folder.file("large.txt"), text);
    EXPECT_EQ(run({"import", folder.file("large.txt")}), kRegUsage);
    EXPECT_NE(err.str().find("file too large"), std::string::npos) << err.str();
    EXPECT_FALSE(twins.store.keyExists(Hive::Machine, "A"));
}

TEST_F(RegTransferTest, AnExportToAFullDiskNamesTheCause) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "A", "V", "x"));
    EXPECT_EQ(run({"export", "A", "/dev/full"}), kRegFailed);
    EXPECT_NE(err.str().find("No space left on device"), std::string::npos) << err.str();
}

TEST_F(RegTransferTest, ExportOfAMissingKeyFails) {
    EXPECT_EQ(run({"export", "Missing"}), kRegFailed);
    EXPECT_NE(err.str().find("cannot open key"), std::string::npos);
}

// An import killed midway leaves the hive as it was: it is one transaction.
TEST(RegImportKilled, LeavesTheHiveAsBefore) {
    // One file for both hives.
    testing_support::SqliteHives hives("machine.hive", "machine.hive");
    const auto& hive = hives.machineHive();
    std::string text = kFirst;
    for (int k = 0; k < 20; ++k) {
        text += "[\"Imported\\\\K" + std::to_string(k) + "\"]\n\"V\"=\"x\"\n\"W\"=\"y\"\n";
    }
    testing_support::WriteFileBytes(hives.folder.file("in.txt"), text);
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "Before", "V", "kept"));
    hives.store.reset();
    const pid_t pid = ::fork();
    if (pid == 0) {
        platform::SqliteSettingsStore own(hive, hive);
        testing_support::DyingStore dying(own, testing_support::DyingStore::At::SetValue, 25);
        hives.twins.useStore(dying);
        std::ostringstream out;
        std::ostringstream err;
        RunRegCommand({"import", hives.folder.file("in.txt")}, out, err);
        ::_exit(0);
    }
    const int status = testing_support::Wait(pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << status;
    hives.reopen();
    EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, "Before", "V"), "kept");
    platform::KeyHandle key = 0;
    EXPECT_EQ(hives.store->openKey(Hive::Machine, "Imported", key), platform::kFileNotFound);
}

} // namespace
