#include "platform/memory/scripted_connection.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/dialogs/connection_recovery.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::ScriptedConnection;
using vemlo::ContainerKind;
using Steps = std::vector<std::string>;

const std::string kConnectionString = "Provider=SQLite;Data Source=/data/lumra.db";
const std::string kSummaryEnd =
    "anslutningar till databasen. Kontrollera att ingen data förlorats.";
const std::string kFailure = "Det gick inte att ansluta till databasen igen. Programmet avslutas.";

std::string Summary(int count) {
    return "Programmet har återanslutit " + std::to_string(count) + " " + kSummaryEnd;
}

std::string Question(const std::string& error) {
    return "Databasanslutningen har avbrutits på ett felaktigt sätt!\r"
           "Och det automatiska återanslutningsförsöket resulterade i följande fel:\r\r" +
           error + "\r\rFörsöka ansluta igen?";
}

std::string FailedLine(const std::string& container, const std::string& connection) {
    return "Det gick inte att återansluta " + container + "." + connection +
           "!\rConnectionString = " + kConnectionString + "\r\r";
}

class ConnectionRecoveryTest : public testing::Test {
protected:
    testing_support::ToolkitTwins twins;

    ScriptedConnection& addConnection(vemlo::TContainer& container, const std::string& name,
                                      bool connected, int tag = 0) {
        auto connection = std::make_unique<ScriptedConnection>(name, kConnectionString, connected);
        connection->SetTag(tag);
        auto& added = *connection;
        container.Connections.push_back(std::move(connection));
        return added;
    }
};

struct SuspendCase {
    const char* what;
    ContainerKind kind;
    bool connected;
    int tagBefore;
    Steps steps;
    int tagAfter;
};

class SuspendWalkTest : public ConnectionRecoveryTest,
                        public testing::WithParamInterface<SuspendCase> {};

TEST_P(SuspendWalkTest, ClosesAndMarksOnlyOpenConnectionsOfFormsAndDataModules) {
    const auto& c = GetParam();
    auto& connection =
        addConnection(twins.application.add("owner", c.kind), "con", c.connected, c.tagBefore);
    vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMSUSPEND);
    EXPECT_EQ(connection.steps(), c.steps);
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(connection.Tag(), c.tagAfter);
    EXPECT_TRUE(twins.boxes.shown().empty());
    EXPECT_TRUE(twins.clock.sleeps().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Connections, SuspendWalkTest,
    testing::Values(
        SuspendCase{"open on a form", ContainerKind::Form, true, 0, {"close"}, 666},
        SuspendCase{"open on a data module", ContainerKind::DataModule, true, 0, {"close"}, 666},
        SuspendCase{"another tag is overwritten", ContainerKind::Form, true, 42, {"close"}, 666},
        SuspendCase{"closed stays unmarked", ContainerKind::Form, false, 0, {}, 0},
        SuspendCase{"an earlier mark stays", ContainerKind::Form, false, 666, {}, 666}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(ConnectionRecoveryTest, SuspendLeavesAnOpenConnectionOfAnotherKindOfOwnerOpen) {
    auto& connection =
        addConnection(twins.application.add("owner", ContainerKind::Other), "con", true);
    vemlo::CloseConnectionsForSuspend(twins.application);
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(connection.Tag(), 0);
}

TEST_F(ConnectionRecoveryTest, SuspendClosesTwoOpenConnectionsAndLeavesTheClosedOne) {
    auto& form = twins.application.add("frmOrders", ContainerKind::Form);
    auto& first = addConnection(form, "conA", true);
    auto& closed = addConnection(form, "conB", false, 7);
    auto& second = addConnection(form, "conC", true);
    vemlo::CloseConnectionsForSuspend(twins.application);
    EXPECT_EQ(first.Tag(), 666);
    EXPECT_EQ(second.Tag(), 666);
    EXPECT_EQ(closed.Tag(), 7);
    EXPECT_TRUE(closed.steps().empty());
}

TEST_F(ConnectionRecoveryTest, AnErrorWhileClosingEndsTheWalkAndReachesTheCaller) {
    auto& form = twins.application.add("frmOrders", ContainerKind::Form);
    auto& failing = addConnection(form, "conA", true);
    auto& later = addConnection(form, "conB", true);
    failing.failNextClose("Network gone");
    EXPECT_THROW(vemlo::CloseConnectionsForSuspend(twins.application), platform::DatabaseError);
    EXPECT_EQ(failing.Tag(), 0);
    EXPECT_TRUE(later.Connected());
}

struct ResumeCase {
    const char* what;
    bool connected;
    int tag;
    std::vector<const char*> openFailures;
    std::vector<const char*> beginFailures;
    std::optional<int> answer;
    Steps steps;
    bool connectedAfter;
    std::vector<std::string> boxes;
    std::vector<int> exitCodes;
};

const std::array kResumeCases{
    ResumeCase{"marked and closed reopens",
               false,
               666,
               {},
               {},
               {},
               {"open", "begin"},
               true,
               {Summary(1)},
               {}},
    ResumeCase{"marked and reopened by the program",
               true,
               666,
               {},
               {},
               {},
               {"close", "open", "begin"},
               true,
               {Summary(1)},
               {}},
    ResumeCase{"unmarked stays closed", false, 0, {}, {}, {}, {}, false, {Summary(0)}, {}},
    ResumeCase{"unmarked open is left alone", true, 3, {}, {}, {}, {}, true, {Summary(0)}, {}},
    ResumeCase{"fails, retry declined",
               false,
               666,
               {"Server gone"},
               {},
               platform::kBoxNo,
               {"open failed"},
               false,
               {Question("Server gone"), Summary(0)},
               {}},
    ResumeCase{"fails, retry succeeds but is not counted",
               false,
               666,
               {"Server gone"},
               {},
               platform::kBoxYes,
               {"open failed", "open", "begin"},
               true,
               {Question("Server gone"), Summary(0)},
               {}},
    ResumeCase{"transaction fails, retry succeeds",
               false,
               666,
               {},
               {"Busy"},
               platform::kBoxYes,
               {"open", "begin failed", "begin"},
               true,
               {Question("Busy"), Summary(0)},
               {}},
    ResumeCase{"fails, retry fails too",
               false,
               666,
               {"Server gone", "Still gone"},
               {},
               platform::kBoxYes,
               {"open failed", "open failed"},
               false,
               {Question("Server gone"), kFailure + "\r\r" + FailedLine("dmData", "conMain")},
               {1}},
};

class ResumePassTest : public ConnectionRecoveryTest,
                       public testing::WithParamInterface<ResumeCase> {};

TEST_P(ResumePassTest, ReopensMarkedConnectionsAndReports) {
    const auto& c = GetParam();
    auto& connection = addConnection(twins.application.add("dmData", ContainerKind::DataModule),
                                     "conMain", c.connected, c.tag);
    for (const auto* message : c.openFailures) {
        connection.failNextOpen(message);
    }
    for (const auto* message : c.beginFailures) {
        connection.failNextBegin(message);
    }
    if (c.answer) {
        twins.boxes.answerNext(*c.answer);
    }
    vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMRESUMESUSPEND);
    EXPECT_EQ(connection.steps(), c.steps);
    EXPECT_EQ(connection.Connected(), c.connectedAfter);
    EXPECT_EQ(connection.Tag(), c.tag);
    EXPECT_EQ(twins.boxes.shownTexts(), c.boxes);
    EXPECT_EQ(twins.processEnd.codes(), c.exitCodes);
}

INSTANTIATE_TEST_SUITE_P(Connections, ResumePassTest, testing::ValuesIn(kResumeCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(ConnectionRecoveryTest, ResumeWaitsTenSecondsBeforeAnything) {
    auto& connection =
        addConnection(twins.application.add("frm", ContainerKind::Form), "con", false, 666);
    connection.failNextOpen("Server gone");
    std::size_t sleepsAtQuestion = 0;
    twins.boxes.onShow([&](const auto&) { sleepsAtQuestion = twins.clock.sleeps().size(); });
    vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMRESUMESUSPEND);
    EXPECT_EQ(twins.clock.sleeps(), std::vector{std::chrono::milliseconds(10000)});
    EXPECT_EQ(sleepsAtQuestion, 1U);
}

TEST_F(ConnectionRecoveryTest, ResumeWithNothingMarkedShowsZeroInAnInformationBox) {
    twins.application.add("frmNorlexa", ContainerKind::Form);
    vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMRESUMESUSPEND);
    ASSERT_EQ(twins.boxes.shown().size(), 1U);
    EXPECT_EQ(twins.boxes.shown()[0].kind, platform::BoxKind::Information);
    EXPECT_EQ(twins.boxes.shown()[0].text,
              "Programmet har återanslutit 0 anslutningar till databasen. Kontrollera att ingen "
              "data förlorats.");
    EXPECT_TRUE(twins.processEnd.codes().empty());
}

TEST_F(ConnectionRecoveryTest, EveryFailedConnectionOfOnePassIsListedInOneMessage) {
    auto& form = twins.application.add("frmOrders", ContainerKind::Form);
    auto& module = twins.application.add("dmData", ContainerKind::DataModule);
    for (auto* connection :
         {&addConnection(form, "conA", false, 666), &addConnection(module, "conB", false, 666)}) {
        connection->failNextOpen("Server gone");
        connection->failNextOpen("Still gone");
        twins.boxes.answerNext(platform::kBoxYes);
    }
    auto& good = addConnection(module, "conC", false, 666);
    vemlo::ReopenConnectionsAfterResume(twins.application);
    EXPECT_TRUE(good.Connected());
    ASSERT_EQ(twins.boxes.shown().size(), 3U);
    EXPECT_EQ(twins.boxes.shown()[2].text,
              kFailure + "\r\r" + FailedLine("frmOrders", "conA") + FailedLine("dmData", "conB"));
    EXPECT_EQ(twins.processEnd.codes(), std::vector{1});
}

TEST_F(ConnectionRecoveryTest, AutomaticWakeUpLeavesMarksForTheNextResume) {
    auto& connection =
        addConnection(twins.application.add("frm", ContainerKind::Form), "con", true);
    vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMSUSPEND);
    vemlo::HandlePowerBroadcast(twins.application, 18);
    EXPECT_FALSE(connection.Connected());
    vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMRESUMESUSPEND);
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(connection.transactions(), 1);
    EXPECT_EQ(connection.Tag(), 666);
}

class IgnoredPowerCodeTest : public ConnectionRecoveryTest,
                             public testing::WithParamInterface<std::uint64_t> {};

TEST_P(IgnoredPowerCodeTest, DoesNothing) {
    auto& form = twins.application.add("frm", ContainerKind::Form);
    auto& open = addConnection(form, "conOpen", true);
    auto& marked = addConnection(form, "conMarked", false, 666);
    vemlo::HandlePowerBroadcast(twins.application, GetParam());
    EXPECT_TRUE(open.steps().empty());
    EXPECT_TRUE(marked.steps().empty());
    EXPECT_EQ(open.Tag(), 0);
    EXPECT_TRUE(twins.boxes.shown().empty());
    EXPECT_TRUE(twins.clock.sleeps().empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, IgnoredPowerCodeTest,
                         testing::Values(0U, 1U, 2U, 3U, 5U, 6U, 8U, 10U, 18U, 0x8013U));

} // namespace
