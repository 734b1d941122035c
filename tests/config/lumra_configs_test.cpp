#include "config/lumra_configs.h"
#include "platform/store_text.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <gtest/gtest.h>

using platform::Hive;
using vemlo::RegRoot;

namespace {

const std::string kSlots = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Configurations";

std::string Slot(int n) {
    return kSlots + "\\Config-" + std::to_string(n);
}

class ConfigsTest : public ::testing::Test {
protected:
    void StoreSlot(int n, const std::string& name, const std::string& fileFormat = {}) {
        const auto key = Slot(n);
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, key, "Name", name));
        ASSERT_TRUE(
            vemlo::RegWriteString(RegRoot::LocalMachine, key, "DataProvider", name + ".udl"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, key, "ExportPathBokforing",
                                          "/export/" + name + "/"));
        ASSERT_TRUE(
            vemlo::RegWriteString(RegRoot::LocalMachine, key, "ExportFilename", name + "-fil"));
        if (!fileFormat.empty()) {
            ASSERT_TRUE(
                vemlo::RegWriteString(RegRoot::LocalMachine, key, "FileFormat", fileFormat));
        }
    }
    std::optional<std::string> Stored(int n, const std::string& value) const {
        return twins.store.storedValue(Hive::Machine, Slot(n), value);
    }

    testing_support::ToolkitTwins twins;
    lumra::TLumraConfigs configs;
};

TEST_F(ConfigsTest, AnEmptyStoreLoadsEmptyAndANewItemSavesFourValues) {
    configs.Load();
    EXPECT_EQ(configs.Count(), 0);
    auto& item = configs.Add();
    EXPECT_EQ(item.name, "Config-0");
    EXPECT_EQ(item.dataprovider, "DefaultDataProvider");
    EXPECT_EQ(item.exportPathBokforing, "");
    EXPECT_EQ(item.exportFilename, "");
    EXPECT_EQ(item.fileFormat, 0);
    configs.Save();
    EXPECT_EQ(twins.store.valueNames(Hive::Machine, Slot(0)),
              (std::vector<std::string>{"DataProvider", "ExportFilename", "ExportPathBokforing",
                                        "Name"}));
    EXPECT_EQ(Stored(0, "Name"), "Config-0");
    EXPECT_EQ(Stored(0, "DataProvider"), "DefaultDataProvider");
    EXPECT_EQ(Stored(0, "ExportPathBokforing"), "");
    EXPECT_TRUE(twins.store.hasOpenAccess(Hive::Machine, Slot(0)));
}

TEST_F(ConfigsTest, LoadReadsEveryFieldOfEachSlotInOrder) {
    StoreSlot(0, "Lön", "7");
    StoreSlot(1, "Kassa");
    configs.Load();
    ASSERT_EQ(configs.Count(), 2);
    const auto& first = configs.GetItem(0);
    EXPECT_EQ(first.name, "Lön");
    EXPECT_EQ(first.dataprovider, "Lön.udl");
    EXPECT_EQ(first.exportPathBokforing, "/export/Lön/");
    EXPECT_EQ(first.exportFilename, "Lön-fil");
    EXPECT_EQ(first.fileFormat, 7);
    EXPECT_EQ(configs.GetItem(1).name, "Kassa");
}

TEST_F(ConfigsTest, FileFormatTextsThatAreNoIntegerLoadAsZero) {
    const std::pair<std::string, int> cases[] = {{"7", 7},   {"-3", -3}, {"", 0},
                                                 {"sju", 0}, {"7x", 0},  {"99999999999", 0}};
    int n = 0;
    for (const auto& [text, expected] : cases) {
        StoreSlot(n++, "C", text);
    }
    configs.Load();
    ASSERT_EQ(configs.Count(), n);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(configs.GetItem(i).fileFormat, cases[i].second) << cases[i].first;
    }
}

TEST_F(ConfigsTest, AMissingDataProviderLoadsEmptyNotTheDefault) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, Slot(0), "Name", "Bara namn"));
    configs.Load();
    ASSERT_EQ(configs.Count(), 1);
    EXPECT_EQ(configs.GetItem(0).dataprovider, "");
}

TEST_F(ConfigsTest, AGapEndsTheListAndSaveLeavesSlotsAfterIt) {
    StoreSlot(0, "A");
    StoreSlot(1, "B");
    StoreSlot(3, "D");
    configs.Load();
    EXPECT_EQ(configs.Count(), 2);
    configs.Save();
    EXPECT_EQ(Stored(3, "Name"), "D");
}

TEST_F(ConfigsTest, DeletingTheFirstOfThreeMovesValuesButNotFileFormats) {
    StoreSlot(0, "A", "10");
    StoreSlot(1, "B", "11");
    StoreSlot(2, "C", "12");
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, Slot(2) + "\\Below", "X", "y"));
    configs.Load();
    configs.Delete(0);
    configs.Save();
    EXPECT_EQ(Stored(0, "Name"), "B");
    EXPECT_EQ(Stored(0, "DataProvider"), "B.udl");
    EXPECT_EQ(Stored(0, "ExportFilename"), "B-fil");
    EXPECT_EQ(Stored(1, "Name"), "C");
    EXPECT_EQ(Stored(0, "FileFormat"), "10");
    EXPECT_EQ(Stored(1, "FileFormat"), "11");
    EXPECT_FALSE(twins.store.keyExists(Hive::Machine, Slot(2)));
    // The list in memory is not reloaded by saving.
    EXPECT_EQ(configs.GetItem(0).fileFormat, 11);
}

TEST_F(ConfigsTest, AClearedNameHidesThatItemAndTheRestOnTheNextLoad) {
    StoreSlot(0, "A");
    StoreSlot(1, "B");
    StoreSlot(2, "C");
    configs.Load();
    configs.GetItem(1).name.clear();
    configs.Save();
    EXPECT_EQ(Stored(1, "Name"), "");
    lumra::TLumraConfigs reloaded;
    reloaded.Load();
    EXPECT_EQ(reloaded.Count(), 1);
    EXPECT_EQ(Stored(2, "Name"), "C");
}

TEST_F(ConfigsTest, NewNamesCountTheListAndNeedNotBeUnique) {
    for (int i = 0; i < 3; ++i) {
        configs.Add();
    }
    configs.Delete(1);
    EXPECT_EQ(configs.Add().name, "Config-2");
    EXPECT_EQ(configs.GetItem(1).name, "Config-2");
    EXPECT_EQ(configs.GetItem(2).name, "Config-2");
}

TEST_F(ConfigsTest, AnIndexOutsideTheListRaisesAndChangesNothing) {
    configs.Add();
    for (const int index : {-1, 1, 5}) {
        try {
            configs.GetItem(index);
            ADD_FAILURE() << index;
        } catch (const lumra::EListError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "List index out of bounds (" + std::to_string(index) + ")");
        }
        EXPECT_THROW(configs.Delete(index), lumra::EListError);
    }
    EXPECT_EQ(configs.Count(), 1);
}

TEST_F(ConfigsTest, LoadReplacesWhatWasInMemory) {
    StoreSlot(0, "A");
    configs.Add();
    configs.Add();
    configs.Load();
    ASSERT_EQ(configs.Count(), 1);
    EXPECT_EQ(configs.GetItem(0).name, "A");
}

TEST_F(ConfigsTest, FailedWritesAreSilent) {
    configs.Add();
    twins.store.failNext(platform::MemorySettingsStore::Call::CreateKey, platform::kAccessDenied,
                         -1);
    EXPECT_NO_THROW(configs.Save());
    EXPECT_FALSE(twins.store.keyExists(Hive::Machine, Slot(0)));
    EXPECT_TRUE(twins.boxes.shown().empty());
}

} // namespace

namespace {

TEST_F(ConfigsTest, LoadReadsInOneReadBatchAndSaveWritesInOneWriteBatch) {
    StoreSlot(0, "A");
    StoreSlot(1, "B");
    configs.Load();
    EXPECT_EQ(twins.store.batchesBegun(),
              std::vector<platform::BatchKind>{platform::BatchKind::Read});
    configs.Delete(1);
    ASSERT_TRUE(configs.Save());
    // The deletion's own batch runs inside the Save's.
    EXPECT_EQ(twins.store.batchesBegun(), (std::vector<platform::BatchKind>{
                                              platform::BatchKind::Read, platform::BatchKind::Write,
                                              platform::BatchKind::Write}));
    EXPECT_EQ(twins.store.batchDepth(Hive::Machine), 0);
}

TEST_F(ConfigsTest, ASaveWhoseBatchIsNotStoredSaysSo) {
    configs.Add();
    twins.store.failNext(platform::MemorySettingsStore::Call::EndBatch,
                         platform::kRegistryIoFailed);
    EXPECT_FALSE(configs.Save());
    EXPECT_EQ(configs.SaveProblem(), platform::UserStatusMessage(platform::kRegistryIoFailed));
    EXPECT_TRUE(configs.Save());
    EXPECT_EQ(configs.SaveProblem(), "");
}

TEST_F(ConfigsTest, ASaveWhoseBatchCannotBeginWritesNothingAndSaysWhy) {
    configs.Add();
    twins.store.failNext(platform::MemorySettingsStore::Call::BeginBatch, platform::kBusy);
    EXPECT_FALSE(configs.Save());
    EXPECT_EQ(configs.SaveProblem(), platform::UserStatusMessage(platform::kBusy));
    EXPECT_FALSE(twins.store.keyExists(Hive::Machine, Slot(0)));
}

// Boxes that a deletion shows while Save holds the batch wait until the batch has ended.
TEST_F(ConfigsTest, BoxesOfTheDeletionsAreShownAfterTheBatchInTheirOrder) {
    StoreSlot(0, "A");
    StoreSlot(1, "B");
    StoreSlot(2, "C");
    configs.Load();
    configs.Delete(2);
    configs.Delete(1);
    twins.store.failNext(platform::MemorySettingsStore::Call::EnumValue, platform::kAccessDenied,
                         2);
    std::vector<int> depths;
    twins.boxes.onShow([&](const platform::BoxRequest&) {
        depths.push_back(twins.store.batchDepth(Hive::Machine));
    });
    ASSERT_TRUE(configs.Save());
    ASSERT_EQ(twins.boxes.shown().size(), 2u);
    EXPECT_EQ(depths, (std::vector<int>{0, 0}));
    EXPECT_EQ(twins.boxes.shown()[0].text,
              "Det gick inte att radera värdet i registret!\r\rÅtkomst nekad");
}

} // namespace
