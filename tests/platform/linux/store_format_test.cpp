#include "platform/case_folding.h"
#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/child_process.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/sqlite_hives.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/registry_batch.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

using platform::Hive;
using platform::SqliteSettingsStore;
using testing_support::kStoreWriter;
using testing_support::ReadAll;
using testing_support::StartChild;
using testing_support::Wait;
using vemlo::RegReadString;
using vemlo::RegRoot;
using vemlo::RegWriteString;

namespace {

class StoreFormatTest : public ::testing::Test, protected testing_support::SqliteHives {
protected:
    std::string hive() const { return machineHive(); }

    // Key P with sub-keys Sub100, Sub101, ..., opened.
    platform::KeyHandle openWithSubKeys(int count) {
        for (int i = 0; i < count; ++i) {
            RegWriteString(RegRoot::LocalMachine, "P\\Sub" + std::to_string(100 + i), "V", "x");
        }
        platform::KeyHandle key = 0;
        store->openKey(Hive::Machine, "P", key);
        return key;
    }

    // Runs sql on the file with a connection of its own; the rows' first columns joined by "|".
    std::string raw(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open(hive().c_str(), &db);
        std::string rows;
        sqlite3_exec(
            db, sql.c_str(),
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) += std::string(values[0] ? values[0] : "") + "|";
                return 0;
            },
            &rows, nullptr);
        sqlite3_close(db);
        return rows;
    }
};

TEST_F(StoreFormatTest, AHiveOfTheFirstVersionIsReadAndFoldedAgainOnce) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "Åsa\\ΣΟΦΙΑ", "Namn", "värde"));
    store.reset();
    // The first version's folding came from Qt; here it is made to differ everywhere.
    raw("PRAGMA user_version=1; UPDATE keys SET folded='old-'||name; "
        "UPDATE vals SET folded='old-'||name;");
    reopen();
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "åSA\\σοφια", "NAMN"), "värde");
    store.reset();
    EXPECT_EQ(raw("PRAGMA user_version"), "2|");
    EXPECT_EQ(raw("SELECT folded FROM keys ORDER BY id"),
              platform::FoldCase("Åsa") + "|" + platform::FoldCase("ΣΟΦΙΑ") + "|");
    EXPECT_EQ(raw("SELECT folded FROM vals"), "namn|");
}

TEST_F(StoreFormatTest, AHiveOfALaterVersionIsNotAStore) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "x"));
    store.reset();
    raw("PRAGMA user_version=3");
    reopen();
    EXPECT_NE(store->hiveProblem(Hive::Machine).find("schema version"), std::string::npos);
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "K", "V"), "");
}

TEST_F(StoreFormatTest, ListingByIndexGivesTheSameEntriesInAnyOrderOfAsking) {
    const auto key = openWithSubKeys(30);
    std::string name;
    for (const std::size_t index : {0u, 1u, 2u, 7u, 8u, 3u, 29u}) {
        ASSERT_EQ(store->enumSubKey(key, index, 512, name), platform::kSuccess) << index;
        EXPECT_EQ(name, "Sub" + std::to_string(100 + index));
    }
    EXPECT_EQ(store->enumSubKey(key, 30, 512, name), platform::kNoMoreItems);
    store->closeKey(key);
}

// A writer in another process meets the batch's lock, waits for it, and then succeeds.
TEST_F(StoreFormatTest, AConcurrentWriterWaitsForABatchAndThenSucceeds) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "before"));
    testing_support::Child writer;
    {
        vemlo::RegistryBatch batch(RegRoot::LocalMachine);
        ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "K", "V", "batch"));
        writer = StartChild({kStoreWriter, hive(), "Other", "W", "1"});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        int status = 0;
        EXPECT_EQ(::waitpid(writer.pid, &status, WNOHANG), 0) << "the writer did not wait";
        EXPECT_TRUE(batch.end());
    }
    EXPECT_EQ(ReadAll(writer), "ack 0\n");
    const int status = Wait(writer.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "K", "V"), "batch");
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "Other", "W0"), "0");
}

// A handle kept open for longer than a writer waits does not lock the writer out.
TEST_F(StoreFormatTest, ASlowListingOfOneHandleLetsWritersIn) {
    const auto key = openWithSubKeys(70);
    auto writer = StartChild({kStoreWriter, hive(), "Other", "W", "20"});
    std::string name;
    for (std::size_t i = 0; i < 70; ++i) {
        ASSERT_EQ(store->enumSubKey(key, i, 512, name), platform::kSuccess);
        std::this_thread::sleep_for(std::chrono::milliseconds(90));
    }
    store->closeKey(key);
    ReadAll(writer);
    const int status = Wait(writer.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

} // namespace
