#include "tests/support/toolkit_fixture.h"
#include "toolkit/dataproviders/data_provider_selection.h"
#include "toolkit/dataproviders/scripted_data_provider_selection.h"
#include "toolkit/settings/environment.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class DataProviderSelectionTest : public ::testing::Test {
protected:
    testing_support::ToolkitTwins twins;
    vemlo::ScriptedDataProviderSelection scripted;

    void SetUp() override { vemlo::UseDataProviderSelection(&scripted); }
    void TearDown() override { vemlo::UseDataProviderSelection(nullptr); }
};

TEST_F(DataProviderSelectionTest, AnswersInOrderAndRecordsTheValueNames) {
    scripted.answerNext("a.udl");
    scripted.answerNext("b.udl");
    EXPECT_EQ(vemlo::DataProviders().SelectDataProvider("DefaultDataProvider"), "a.udl");
    EXPECT_EQ(vemlo::DataProviders().SelectDataProvider("Other"), "b.udl");
    EXPECT_EQ(scripted.asked(), (std::vector<std::string>{"DefaultDataProvider", "Other"}));
}

TEST_F(DataProviderSelectionTest, WithoutAnAnswerItIsCancelled) {
    vemlo::g_DefaultDataProvider = "/common/System/Ole DB/Data Links/lager.udl";
    EXPECT_EQ(vemlo::DataProviders().SelectDataProvider("DefaultDataProvider"), "lager.udl");
}

TEST_F(DataProviderSelectionTest, NoSelectionSetUpIsAnError) {
    vemlo::UseDataProviderSelection(nullptr);
    EXPECT_THROW(vemlo::DataProviders(), std::logic_error);
}

} // namespace
