#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <gtest/gtest.h>

using platform::Hive;
using platform::MemorySettingsStore;
using vemlo::RegRoot;

namespace {

const std::string kDeletionFailed = "Det gick inte att radera värdet i registret!\r\r";

class RegistryTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;
    MemorySettingsStore& store = twins.store;
};

struct HiveCase {
    const char* name;
    RegRoot root;
    Hive hive;
    bool openAccess;
    friend void PrintTo(const HiveCase& c, std::ostream* os) { *os << c.name; }
};

class RegistryWriteTest : public RegistryTest, public ::testing::WithParamInterface<HiveCase> {};

TEST_P(RegistryWriteTest, CreatesEveryMissingKeyOnThePath) {
    const auto& c = GetParam();
    ASSERT_TRUE(vemlo::RegWriteString(c.root, "A\\B\\C", "V", "x"));
    for (const auto* path : {"A", "A\\B", "A\\B\\C"}) {
        EXPECT_TRUE(store.keyExists(c.hive, path)) << path;
        EXPECT_EQ(store.hasOpenAccess(c.hive, path), c.openAccess) << path;
    }
    EXPECT_EQ(store.storedValue(c.hive, "A\\B\\C", "V"), "x");
    EXPECT_EQ(vemlo::RegReadString(c.root, "a\\b\\c", "v", 0), "x");
    EXPECT_EQ(store.openHandleCount(), 0u);
}

TEST_P(RegistryWriteTest, RetriesAFailedCreationWithoutTheAccessList) {
    const auto& c = GetParam();
    store.failNext(MemorySettingsStore::Call::CreateKey, platform::kAccessDenied);
    ASSERT_TRUE(vemlo::RegWriteString(c.root, "K\\L", "V", "stored"));
    EXPECT_EQ(store.storedValue(c.hive, "K\\L", "V"), "stored");
    EXPECT_FALSE(store.hasOpenAccess(c.hive, "K\\L"));
    EXPECT_EQ(vemlo::g_LastRegistryError, "Access is denied.");
}

TEST_P(RegistryWriteTest, FailsWhenTheRetryFailsToo) {
    const auto& c = GetParam();
    store.failNext(MemorySettingsStore::Call::CreateKey, platform::kAccessDenied, 2);
    EXPECT_FALSE(vemlo::RegWriteString(c.root, "K", "V", "x"));
    EXPECT_FALSE(store.keyExists(c.hive, "K"));
    EXPECT_EQ(vemlo::g_LastRegistryError, "Access is denied.");
    // The message is kept after later successful writes: it is never cleared.
    EXPECT_TRUE(vemlo::RegWriteString(c.root, "K", "V", "x"));
    EXPECT_EQ(vemlo::g_LastRegistryError, "Access is denied.");
}

TEST_P(RegistryWriteTest, AFailedValueWriteReturnsFalse) {
    const auto& c = GetParam();
    store.failNext(MemorySettingsStore::Call::SetValue, platform::kAccessDenied);
    EXPECT_FALSE(vemlo::RegWriteString(c.root, "K", "V", "x"));
    EXPECT_EQ(store.storedValue(c.hive, "K", "V"), std::nullopt);
    EXPECT_EQ(store.openHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Hives, RegistryWriteTest,
    ::testing::Values(HiveCase{"Machine", RegRoot::LocalMachine, Hive::Machine, true},
                      HiveCase{"User", RegRoot::CurrentUser, Hive::User, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, AnEmptyValueExistsAndReadsLikeAnAbsentOne) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "K", "Empty", ""));
    EXPECT_EQ(store.storedValue(Hive::Machine, "K", "Empty"), "");
    EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, "K", "Empty", 0), "");
    EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, "K", "Never", 0), "");
    EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, "Missing", "Never", 0), "");
}

TEST_F(RegistryTest, AnEmptyValueNameReadsTheDefaultValue) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::CurrentUser, "K", "", "default"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::CurrentUser, "K", "Other", "other"));
    EXPECT_EQ(vemlo::RegReadString(RegRoot::CurrentUser, "K", "", 0), "default");
}

TEST_F(RegistryTest, HivesAreSeparate) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::CurrentUser, "K", "V", "user"));
    EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, "K", "V", 0), "");
}

TEST_F(RegistryTest, AccessListFailuresRaiseAndWriteNothing) {
    struct Case {
        MemorySettingsStore::Call call;
        const char* message;
    };
    const Case cases[] = {
        {MemorySettingsStore::Call::InitializeSecurityDescriptor,
         "Unable to initialize security descriptor. Windows error=1337"},
        {MemorySettingsStore::Call::SetSecurityDescriptorDacl,
         "Unable to set security descriptor dacl. Windows error=1337"},
    };
    for (const auto& c : cases) {
        store.failNext(c.call, 1337);
        try {
            vemlo::RegWriteString(RegRoot::LocalMachine, "K", "V", "x");
            ADD_FAILURE() << "no error raised for " << c.message;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_FALSE(store.keyExists(Hive::Machine, "K"));
    }
    // The user hive needs no access list.
    store.failNext(MemorySettingsStore::Call::InitializeSecurityDescriptor, 1337);
    EXPECT_TRUE(vemlo::RegWriteString(RegRoot::CurrentUser, "K", "V", "x"));
}

struct RefusedWrite {
    const char* name;
    std::string keyPath;
    std::string valueName;
    std::string value;
    friend void PrintTo(const RefusedWrite& c, std::ostream* os) { *os << c.name; }
};

class RegistryRefusedWriteTest : public RegistryTest,
                                 public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(RegistryRefusedWriteTest, IsRefusedAndStoresNothing) {
    const auto& c = GetParam();
    EXPECT_FALSE(vemlo::RegWriteString(RegRoot::LocalMachine, c.keyPath, c.valueName, c.value));
    EXPECT_TRUE(store.subKeyNames(Hive::Machine, "Root").empty());
    EXPECT_FALSE(store.keyExists(Hive::Machine, "Root"));
    EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, c.keyPath, c.valueName, 0), "");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RegistryRefusedWriteTest,
    ::testing::Values(RefusedWrite{"ValueOf1025", "Root\\K", "V", std::string(1025, 'x')},
                      RefusedWrite{"ValueOf513Emoji", "Root\\K", "V",
                                   [] {
                                       std::string text;
                                       for (int i = 0; i < 513; ++i) {
                                           text += "\xF0\x9F\x98\x80";
                                       }
                                       return text;
                                   }()},
                      RefusedWrite{"NameOf1025", "Root\\K", std::string(1025, 'n'), "x"},
                      RefusedWrite{"KeyPathOf1025", "Root\\" + std::string(1020, 'k'), "V", "x"},
                      RefusedWrite{"NulInValue", "Root\\K", "V", std::string("a\0b", 3)},
                      RefusedWrite{"NulInName", "Root\\K", std::string("a\0b", 3), "x"},
                      RefusedWrite{"InvalidUtf8", "Root\\K", "V", "\xC3("},
                      RefusedWrite{"EmptyComponent", "Root\\\\K", "V", "x"},
                      RefusedWrite{"LeadingBackslash", "\\Root\\K", "V", "x"},
                      RefusedWrite{"TrailingBackslash", "Root\\K\\", "V", "x"},
                      RefusedWrite{"EmptyPath", "", "V", "x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, TextsAtTheLimitAreStoredWhole) {
    const std::string ascii(1024, 'x');
    std::string swedish;
    std::string emoji;
    for (int i = 0; i < 1024; ++i) {
        swedish += "å";
    }
    for (int i = 0; i < 512; ++i) {
        emoji += "\xF0\x9F\x98\x80";
    }
    for (const auto& value : {ascii, swedish, emoji}) {
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "K", "V", value));
        EXPECT_EQ(vemlo::RegReadString(RegRoot::LocalMachine, "K", "V", 0), value);
    }
}

class RegistryDeleteTest : public RegistryTest {
protected:
    void SetUp() override {
        for (const auto* path : {"P\\Gone\\A\\A1", "P\\Gone\\A\\A2", "P\\Gone\\B", "P\\Kept\\C"}) {
            ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, path, "V", path));
        }
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "P\\Gone", "Own", "x"));
        ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "P", "Parent", "y"));
    }
};

TEST_F(RegistryDeleteTest, RemovesTheKeyAndEverythingBelowIt) {
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Gone");
    EXPECT_FALSE(store.keyExists(Hive::Machine, "P\\Gone"));
    EXPECT_EQ(store.subKeyNames(Hive::Machine, "P"), std::vector<std::string>{"Kept"});
    EXPECT_EQ(store.storedValue(Hive::Machine, "P", "Parent"), "y");
    EXPECT_EQ(store.storedValue(Hive::Machine, "P\\Kept\\C", "V"), "P\\Kept\\C");
    EXPECT_TRUE(twins.boxes.shown().empty());
    EXPECT_EQ(store.openHandleCount(), 0u);
}

TEST_F(RegistryDeleteTest, AKeyWithoutBackslashIsEmptiedButStays) {
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P");
    EXPECT_TRUE(store.keyExists(Hive::Machine, "P"));
    EXPECT_TRUE(store.subKeyNames(Hive::Machine, "P").empty());
    EXPECT_TRUE(store.valueNames(Hive::Machine, "P").empty());
}

TEST_F(RegistryDeleteTest, AMissingKeyIsNoError) {
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Missing\\Deeper");
    vemlo::DeleteRegKey(RegRoot::CurrentUser, "P\\Gone");
    EXPECT_TRUE(store.keyExists(Hive::Machine, "P\\Gone"));
    EXPECT_TRUE(twins.boxes.shown().empty());
}

TEST_F(RegistryDeleteTest, ARefusedValueListingIsShownAndSubKeysStillGo) {
    store.failNext(MemorySettingsStore::Call::EnumValue, platform::kAccessDenied);
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Gone");
    ASSERT_EQ(twins.boxes.shown().size(), 1u);
    EXPECT_EQ(twins.boxes.shown()[0].kind, platform::BoxKind::Information);
    EXPECT_EQ(twins.boxes.shown()[0].text, kDeletionFailed + "Åtkomst nekad");
    // The sub-keys were cleared as usual, so the key itself could go, its value with it.
    EXPECT_FALSE(store.keyExists(Hive::Machine, "P\\Gone"));
    EXPECT_EQ(store.subKeyNames(Hive::Machine, "P"), std::vector<std::string>{"Kept"});
}

// Each tell may wait for the progress application; none may happen while the batch holds the
// hive's write lock, and each comes right before its box.
TEST_F(RegistryDeleteTest, TheProgressApplicationIsToldRightBeforeEachBoxAfterTheBatch) {
    twins.messages.openWindow("TProgressFormQ7", "progress");
    store.failNext(MemorySettingsStore::Call::EnumValue, platform::kAccessDenied, 2);
    std::vector<std::string> events;
    twins.messages.onSend([&](const platform::RecordingWindowMessages::Sent&) {
        events.push_back("told at batch depth " + std::to_string(store.batchDepth(Hive::Machine)));
    });
    twins.boxes.onShow([&](const platform::BoxRequest&) { events.push_back("box"); });
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Gone");
    EXPECT_EQ(events, (std::vector<std::string>{"told at batch depth 0", "box",
                                                "told at batch depth 0", "box"}));
    EXPECT_FALSE(store.keyExists(Hive::Machine, "P\\Gone"));
}

TEST_F(RegistryDeleteTest, ASubKeyThatCannotBeDeletedEndsTheLoop) {
    store.failNext(MemorySettingsStore::Call::DeleteSubKey, platform::kAccessDenied, -1);
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Gone");
    EXPECT_TRUE(store.keyExists(Hive::Machine, "P\\Gone"));
    EXPECT_EQ(store.openHandleCount(), 0u);
}

TEST_F(RegistryDeleteTest, AnErrorWhileClearingIsReportedAndTheKeyDeletionStillTried) {
    store.failNext(MemorySettingsStore::Call::EnumValue, platform::kAccessDenied);
    bool thrown = false;
    twins.boxes.onShow([&](const platform::BoxRequest&) {
        if (!thrown) {
            thrown = true;
            throw std::runtime_error("Stream read error");
        }
    });
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\Kept");
    ASSERT_EQ(twins.boxes.shown().size(), 2u);
    EXPECT_EQ(twins.boxes.shown()[1].text, kDeletionFailed + "Stream read error");
    // The boxes are shown after the deletion's batch: the error came after the clearing.
    EXPECT_FALSE(store.keyExists(Hive::Machine, "P\\Kept"));
    EXPECT_EQ(store.openHandleCount(), 0u);
}

TEST_F(RegistryTest, DeleteFromParentNeedsABackslash) {
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "Top", "V", "x"));
    EXPECT_FALSE(vemlo::DeleteRegKeyFromParent(RegRoot::LocalMachine, "Top"));
    EXPECT_FALSE(vemlo::DeleteRegKeyFromParent(RegRoot::LocalMachine, "Top\\Missing"));
    ASSERT_TRUE(vemlo::RegWriteString(RegRoot::LocalMachine, "Top\\Leaf", "V", "x"));
    EXPECT_TRUE(vemlo::DeleteRegKeyFromParent(RegRoot::LocalMachine, "TOP\\leaf"));
    EXPECT_FALSE(store.keyExists(Hive::Machine, "Top\\Leaf"));
}

} // namespace
