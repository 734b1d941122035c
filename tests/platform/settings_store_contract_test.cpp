#include "tests/platform/store_contract.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <gtest/gtest.h>
#include <tuple>

using platform::Hive;
using platform::KeyHandle;
using testing_support::ContractBackends;
using testing_support::ListOrder;
using testing_support::StoreBackend;
using vemlo::RegReadString;
using vemlo::RegRoot;
using vemlo::RegWriteString;

namespace testing_support {
void PrintTo(const StoreBackend& backend, std::ostream* os) {
    *os << backend.name;
}
} // namespace testing_support

namespace {

// What every settings store promises the toolkit, run against each backend of the platform.
class StoreContract {
protected:
    explicit StoreContract(const StoreBackend& backend)
        : backend_(backend)
        , sandbox_(backend.make()) {
        reopen();
    }

    void reopen() {
        store_.reset();
        store_ = sandbox_->open();
        twins_.useStore(*store_);
    }
    platform::SettingsStore& store() { return *store_; }
    const StoreBackend& backend() const { return backend_; }

    // The names a key lists, sub-keys or values, in the store's order.
    std::vector<std::string> listed(const std::string& path, bool values) {
        std::vector<std::string> names;
        KeyHandle key = 0;
        if (store().openKey(Hive::Machine, path, key) != platform::kSuccess) {
            return names;
        }
        std::string name;
        for (std::size_t i = 0;
             (values ? store().enumValue(key, i, 512, 8192, name)
                     : store().enumSubKey(key, i, 512, name)) == platform::kSuccess;
             ++i) {
            names.push_back(name);
        }
        store().closeKey(key);
        return names;
    }

private:
    StoreBackend backend_;
    std::unique_ptr<testing_support::StoreSandbox> sandbox_;
    testing_support::ToolkitTwins twins_;
    std::unique_ptr<platform::SettingsStore> store_;
};

class StoreContractTest : public StoreContract, public ::testing::TestWithParam<StoreBackend> {
protected:
    StoreContractTest()
        : StoreContract(GetParam()) {}
};

std::string BackendName(const ::testing::TestParamInfo<StoreBackend>& info) {
    return info.param.name;
}

TEST_P(StoreContractTest, ValuesPersistAcrossReopening) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "SOFTWARE\\Vemlo\\K", "Namn", "Göteborg"));
    ASSERT_TRUE(RegWriteString(RegRoot::CurrentUser, "SOFTWARE\\Vemlo\\K", "Namn", "Malmö"));
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "SOFTWARE\\Vemlo\\K", "Tom", ""));
    reopen();
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "SOFTWARE\\Vemlo\\K", "Namn"), "Göteborg");
    EXPECT_EQ(RegReadString(RegRoot::CurrentUser, "SOFTWARE\\Vemlo\\K", "Namn"), "Malmö");
    std::string value = "unchanged";
    KeyHandle key = 0;
    ASSERT_EQ(store().openKey(Hive::Machine, "SOFTWARE\\Vemlo\\K", key), platform::kSuccess);
    EXPECT_EQ(store().queryValue(key, "Tom", 1025, value), platform::kSuccess);
    EXPECT_EQ(value, "");
    store().closeKey(key);
}

TEST_P(StoreContractTest, RefusesOverlongTextsAndNul) {
    KeyHandle key = 0;
    ASSERT_EQ(store().createKey(Hive::Machine, "K", true, key), platform::kSuccess);
    EXPECT_EQ(store().setValue(key, "V", std::string(1025, 'x')), platform::kInvalidParameter);
    EXPECT_EQ(store().setValue(key, std::string(1025, 'n'), "x"), platform::kInvalidParameter);
    EXPECT_EQ(store().setValue(key, "V", std::string("a\0b", 3)), platform::kInvalidParameter);
    ASSERT_EQ(store().setValue(key, "V", std::string(1024, 'x')), platform::kSuccess);
    std::string value;
    EXPECT_EQ(store().queryValue(key, "V", 1024, value), platform::kMoreData);
    EXPECT_EQ(store().queryValue(key, "V", 1025, value), platform::kSuccess);
    EXPECT_EQ(value.size(), 1024u);
    store().closeKey(key);
    for (const auto* bad : {"", "\\K", "K\\", "K\\\\L"}) {
        EXPECT_EQ(store().createKey(Hive::Machine, bad, true, key), platform::kInvalidParameter)
            << bad;
    }
}

// A sub-key call takes one name, never a path to a deeper key.
TEST_P(StoreContractTest, ASubKeyNameIsOneComponent) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\A\\B", "V", "x"));
    KeyHandle parent = 0;
    ASSERT_EQ(store().openKey(Hive::Machine, "P", parent), platform::kSuccess);
    for (const auto* bad : {"", "A\\B", "\\A", "A\\"}) {
        KeyHandle key = 0;
        EXPECT_EQ(store().openSubKey(parent, bad, key), platform::kInvalidParameter) << bad;
    }
    store().closeKey(parent);
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\A\\B", "V"), "x");
}

// Text that is no UTF-8 has no length in the store's units, so no store takes it.
TEST_P(StoreContractTest, RefusesTextThatIsNoUtf8) {
    KeyHandle key = 0;
    ASSERT_EQ(store().createKey(Hive::Machine, "K", true, key), platform::kSuccess);
    for (const std::string bad : {"\xff", "a\xc3", "\xc0\xaf", "\xed\xa0\x80"}) {
        EXPECT_EQ(store().setValue(key, "V", bad), platform::kInvalidParameter);
        EXPECT_EQ(store().setValue(key, bad, "x"), platform::kInvalidParameter);
        KeyHandle sub = 0;
        EXPECT_EQ(store().createKey(Hive::Machine, "K\\" + bad, true, sub),
                  platform::kInvalidParameter);
    }
    store().closeKey(key);
}

TEST_P(StoreContractTest, KeyNamesLongerThanTheRegistrysLimitAreRefused) {
    KeyHandle key = 0;
    const std::string longest(platform::kMaxKeyNameUnits, 'k');
    EXPECT_EQ(store().createKey(Hive::Machine, "P\\" + longest + "k", true, key),
              platform::kInvalidParameter);
    ASSERT_EQ(store().createKey(Hive::Machine, "P\\" + longest, true, key), platform::kSuccess);
    store().closeKey(key);
    EXPECT_EQ(listed("P", false), std::vector<std::string>{longest});
}

TEST_P(StoreContractTest, DeletingAKeyWithSubKeysIsRefused) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K\\Sub", "V", "x"));
    EXPECT_FALSE(vemlo::DeleteRegKeyFromParent(RegRoot::LocalMachine, "P\\K"));
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\K");
    KeyHandle key = 0;
    EXPECT_EQ(store().openKey(Hive::Machine, "P\\K", key), platform::kFileNotFound);
    EXPECT_EQ(store().openKey(Hive::Machine, "P", key), platform::kSuccess);
    store().closeKey(key);
}

TEST_P(StoreContractTest, DeletingASubtreeLeavesItsSiblingsAndParent) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K", "V", "x"));
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K\\A\\B", "V", "x"));
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K\\C", "V", "x"));
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\Sibling", "V", "kept"));
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P", "V", "kept too"));
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\K");
    EXPECT_EQ(listed("P", false), std::vector<std::string>{"Sibling"});
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\Sibling", "V"), "kept");
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P", "V"), "kept too");
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\K\\A\\B", "V"), "");
}

TEST_P(StoreContractTest, AHandleToAKeyDeletedMeanwhileFails) {
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K", "V", "x"));
    KeyHandle key = 0;
    ASSERT_EQ(store().openKey(Hive::Machine, "P\\K", key), platform::kSuccess);
    vemlo::DeleteRegKey(RegRoot::LocalMachine, "P\\K");
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\K", "V", "new key"));
    EXPECT_EQ(store().setValue(key, "V", "into the old key"), platform::kKeyDeleted);
    store().closeKey(key);
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, "P\\K", "V"), "new key");
}

// The names in the order the backend lists them, given that they were written in this order:
// "beta", "Alfa", "_under", "Gamma".
std::vector<std::string> InListOrder(ListOrder order) {
    switch (order) {
    case ListOrder::LowerFolded:
        return {"_under", "Alfa", "beta", "Gamma"};
    case ListOrder::UpperCased:
        return {"Alfa", "beta", "Gamma", "_under"};
    case ListOrder::Written:
        break;
    }
    return {"beta", "Alfa", "_under", "Gamma"};
}

TEST_P(StoreContractTest, ListsSubKeysAndValuesInTheBackendsOrder) {
    for (const auto& name : InListOrder(ListOrder::Written)) {
        ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P\\" + name, "V", "x"));
        ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, "P", name, "x"));
    }
    EXPECT_EQ(listed("P", false), InListOrder(backend().keyOrder));
    EXPECT_EQ(listed("P", true), InListOrder(backend().valueOrder));
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreContractTest, ::testing::ValuesIn(ContractBackends()),
                         BackendName);

struct CaseFold {
    const char* name;
    const char* written;
    const char* readAs;
    bool same;
    // The first of the two keys in a listing when they are not the same.
    const char* firstListed;
    friend void PrintTo(const CaseFold& c, std::ostream* os) { *os << c.name; }
};

class StoreCaseTest : public StoreContract,
                      public ::testing::TestWithParam<std::tuple<StoreBackend, CaseFold>> {
protected:
    StoreCaseTest()
        : StoreContract(std::get<0>(GetParam())) {}
};

TEST_P(StoreCaseTest, NamesCompareWithoutRegardToCase) {
    const auto& c = std::get<1>(GetParam());
    const std::string key = std::string("Root\\") + c.written;
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, key, c.written, "value"));
    const std::string other = std::string("Root\\") + c.readAs;
    EXPECT_EQ(RegReadString(RegRoot::LocalMachine, other, c.readAs), c.same ? "value" : "");
    // The names keep the case they were written with.
    ASSERT_TRUE(RegWriteString(RegRoot::LocalMachine, other, c.readAs, "second"));
    const auto names = listed("Root", false);
    ASSERT_EQ(names.size(), c.same ? 1u : 2u);
    EXPECT_EQ(names.front(), c.same ? c.written : c.firstListed);
}

constexpr CaseFold kCaseFolds[] = {
    {"Ascii", "DataProvider", "DATAPROVIDER", true, ""},
    {"ARing", "Åsa", "åSA", true, ""},
    {"ODiaeresis", "Örebro", "öREBRO", true, ""},
    {"Greek", "ΣΟΦΙΑ", "σοφια", true, ""},
    {"DottedCapitalI", "İzmir", "İZMIR", true, ""},
    {"DottedCapitalIIsNotPlainI", "İzmir", "izmir", false, "izmir"},
};

INSTANTIATE_TEST_SUITE_P(Unicode, StoreCaseTest,
                         ::testing::Combine(::testing::ValuesIn(ContractBackends()),
                                            ::testing::ValuesIn(kCaseFolds)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

} // namespace
