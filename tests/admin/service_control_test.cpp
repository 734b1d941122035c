#include "admin/service_control.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/service/machine_name.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

using platform::ControlReply;
using platform::ServiceStatus;
using std::chrono::milliseconds;
using Reports = std::vector<std::optional<ServiceStatus>>;

constexpr const char* kService = "VemloLumraBokfExport";

enum class Request { Start, Stop };

bool RunRequest(Request request) {
    return request == Request::Start ? lumra::StartExportService("KASSAN", kService)
                                     : lumra::StopExportService("KASSAN", kService);
}

// Each table's cases are named by their name field, each run gets fresh twins.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

template <typename Case> std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

template <typename Case> class TwinsTest : public ::testing::TestWithParam<Case> {
protected:
    testing_support::ToolkitTwins twins;
};

struct WaitCase {
    const char* name;
    Request request;
    // The manager's script: the reports the queries get; the last one repeats.
    Reports reports;
    bool startAccepted = true;
    ControlReply stopReply{true, std::nullopt};
    milliseconds timeout{0};
    // What comes out.
    bool result = false;
    int queries = 0;
    std::vector<milliseconds> sleeps;
};

std::vector<milliseconds> Repeated(milliseconds each, int times) {
    return std::vector<milliseconds>(static_cast<std::size_t>(times), each);
}

std::vector<milliseconds> Joined(std::vector<milliseconds> first, milliseconds last) {
    first.push_back(last);
    return first;
}

const ServiceStatus kStopped{1, 0, 0};
const ServiceStatus kRunning{4, 0, 0};

const WaitCase kWaitCases[] = {
    {"StartRisesToRunning",
     Request::Start,
     {{{2, 1, 100}}, {{2, 2, 200}}, kRunning},
     true,
     {},
     milliseconds{0},
     true,
     3,
     {milliseconds{100}, milliseconds{200}}},
    {"StartOfARunningServiceIsRefused",
     Request::Start,
     {kRunning},
     false,
     {},
     milliseconds{0},
     false,
     0,
     {}},
    {"StartWhoseFirstQueryFails",
     Request::Start,
     {std::nullopt},
     true,
     {},
     milliseconds{0},
     false,
     1,
     {}},
    {"StartWithASteadyCheckpointWaitsOn",
     Request::Start,
     {{{2, 1, 100}}, {{2, 1, 100}}, kRunning},
     true,
     {},
     milliseconds{0},
     true,
     3,
     {milliseconds{100}, milliseconds{100}}},
    {"StartWhoseCheckpointDropsEndsAtOnce",
     Request::Start,
     {{{2, 3, 100}}, {{2, 0, 100}}, kRunning},
     true,
     {},
     milliseconds{0},
     false,
     2,
     {milliseconds{100}}},
    {"StartThatEndsStoppedFails",
     Request::Start,
     {{{2, 1, 100}}, kStopped},
     true,
     {},
     milliseconds{0},
     false,
     2,
     {milliseconds{100}}},
    {"StartWithANoughtHintPollsWithoutPause",
     Request::Start,
     {{{2, 1, 0}}, {{2, 2, 0}}, kRunning},
     true,
     {},
     milliseconds{0},
     true,
     3,
     {milliseconds{0}, milliseconds{0}}},
    {"StartWhoseQueryFailsDuringTheWait",
     Request::Start,
     {{{2, 1, 100}}, std::nullopt},
     true,
     {},
     milliseconds{0},
     false,
     2,
     {milliseconds{100}}},
    {"StartThatStaysPendingHitsTheLeastBound",
     Request::Start,
     {{{2, 5, 1000}}},
     true,
     {},
     milliseconds{0},
     false,
     31,
     Repeated(milliseconds{1000}, 30)},
    {"StartBoundIsTheServicesOwnTimeOut",
     Request::Start,
     {{{2, 5, 1000}}},
     true,
     {},
     milliseconds{45'000},
     false,
     46,
     Repeated(milliseconds{1000}, 45)},
    {"StartBoundNeverPassesThreeMinutes",
     Request::Start,
     {{{2, 5, 1000}}},
     true,
     {},
     milliseconds::max(),
     false,
     181,
     Repeated(milliseconds{1000}, 180)},
    {"StartLastSleepIsCutToTheBound",
     Request::Start,
     {{{2, 5, 7000}}},
     true,
     {},
     milliseconds{0},
     false,
     6,
     Joined(Repeated(milliseconds{7000}, 4), milliseconds{2000})},
    {"StopFallsToStopped",
     Request::Stop,
     {{{3, 1, 300}}, kStopped},
     true,
     {true, std::nullopt},
     milliseconds{0},
     true,
     2,
     {milliseconds{300}}},
    {"StopOfAStoppedServiceSucceedsWithoutWaiting",
     Request::Stop,
     {kStopped},
     true,
     {false, kStopped},
     milliseconds{0},
     true,
     0,
     {}},
    {"StopRefusedWithoutARecordFails",
     Request::Stop,
     {kRunning},
     true,
     {false, std::nullopt},
     milliseconds{0},
     false,
     0,
     {}},
    {"StopRefusedWhileStartingFails",
     Request::Stop,
     {kRunning},
     true,
     {false, ServiceStatus{2, 1, 100}},
     milliseconds{0},
     false,
     0,
     {}},
    {"StopWhoseQueryFailsKeepsTheRecordsState",
     Request::Stop,
     {std::nullopt},
     true,
     {true, ServiceStatus{1, 0, 0}},
     milliseconds{0},
     true,
     1,
     {}},
    {"StopThatStaysPendingHitsTheBound",
     Request::Stop,
     {{{3, 2, 1000}}},
     true,
     {true, std::nullopt},
     milliseconds{30'000},
     false,
     31,
     Repeated(milliseconds{1000}, 30)},
};

using ServiceWaitTest = TwinsTest<WaitCase>;

TEST_P(ServiceWaitTest, EndsAsScripted) {
    const auto& c = GetParam();
    auto& services = twins.services;
    for (const auto& report : c.reports) {
        services.reportNext(report);
    }
    services.startAccepted = c.startAccepted;
    services.stopReply = c.stopReply;
    services.timeout = c.timeout;
    const bool result = RunRequest(c.request);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(services.queries(), c.queries);
    EXPECT_EQ(twins.clock.sleeps(), c.sleeps);
    EXPECT_EQ(services.openHandles(), 0u);
    EXPECT_EQ(services.calls().back(), "close manager");
    EXPECT_TRUE(twins.boxes.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Scripts, ServiceWaitTest, ::testing::ValuesIn(kWaitCases),
                         CaseName<WaitCase>);

struct OpenCase {
    const char* name;
    Request request;
    bool managerReachable;
    bool serviceInstalled;
    std::vector<std::string> calls;
};

const OpenCase kOpenCases[] = {
    {"StartAsksForStartAndQuery",
     Request::Start,
     true,
     true,
     {"openManager 1", "openService VemloLumraBokfExport 20", "start", "query", "close service",
      "close manager"}},
    {"StopAsksForStopAndQuery",
     Request::Stop,
     true,
     true,
     {"openManager 1", "openService VemloLumraBokfExport 36", "control 1", "query", "close service",
      "close manager"}},
    {"StartWithoutAManager", Request::Start, false, true, {"openManager 1"}},
    {"StopOfAServiceNotInstalled",
     Request::Stop,
     true,
     false,
     {"openManager 1", "openService VemloLumraBokfExport 36", "close manager"}},
};

using ServiceOpenTest = TwinsTest<OpenCase>;

TEST_P(ServiceOpenTest, OpensWithItsRightsAndReleasesServiceFirst) {
    const auto& c = GetParam();
    auto& services = twins.services;
    services.managerReachable = c.managerReachable;
    services.serviceInstalled = c.serviceInstalled;
    services.reportNext(c.request == Request::Start ? kRunning : kStopped);
    const bool result = RunRequest(c.request);
    EXPECT_EQ(result, c.managerReachable && c.serviceInstalled);
    EXPECT_EQ(services.calls(), c.calls);
    EXPECT_EQ(services.openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Opens, ServiceOpenTest, ::testing::ValuesIn(kOpenCases),
                         CaseName<OpenCase>);

struct QueryCase {
    const char* name;
    bool managerReachable;
    bool serviceInstalled;
    std::optional<ServiceStatus> report;
    std::uint32_t state;
};

const QueryCase kQueryCases[] = {
    {"Running", true, true, kRunning, 4},        {"Paused", true, true, ServiceStatus{7, 0, 0}, 7},
    {"QueryFails", true, true, std::nullopt, 0}, {"NotInstalled", true, false, kRunning, 0},
    {"NoManager", false, true, kRunning, 0},
};

using ServiceQueryTest = TwinsTest<QueryCase>;

TEST_P(ServiceQueryTest, ReadsTheStateOrNought) {
    const auto& c = GetParam();
    twins.services.managerReachable = c.managerReachable;
    twins.services.serviceInstalled = c.serviceInstalled;
    twins.services.reportNext(c.report);
    EXPECT_EQ(lumra::QueryServiceState("KASSAN", kService), c.state);
    EXPECT_EQ(twins.services.openHandles(), 0u);
    if (c.managerReachable) {
        EXPECT_EQ(twins.services.calls().at(1), "openService VemloLumraBokfExport 4");
    }
}

INSTANTIATE_TEST_SUITE_P(States, ServiceQueryTest, ::testing::ValuesIn(kQueryCases),
                         CaseName<QueryCase>);

TEST(ServiceStateItemTest, EachStateHasItsItemAndTheRestNone) {
    const std::pair<std::uint32_t, int> table[] = {{0, -1}, {1, 0}, {2, 1}, {3, 2}, {4, 3},
                                                   {5, 4},  {6, 5}, {7, 6}, {8, -1}};
    for (const auto& [state, item] : table) {
        EXPECT_EQ(lumra::ServiceStateItem(state), item) << state;
    }
}

TEST(PendingWaitBoundTest, TheManagersTimeOutWithinHalfAMinuteAndThreeMinutes) {
    const std::pair<milliseconds, milliseconds> table[] = {
        {milliseconds{0}, milliseconds{30'000}},
        {milliseconds{-5}, milliseconds{30'000}},
        {milliseconds{10'000}, milliseconds{30'000}},
        {milliseconds{90'000}, milliseconds{90'000}},
        {milliseconds{600'000}, milliseconds{180'000}},
        {milliseconds::max(), milliseconds{180'000}},
    };
    for (const auto& [timeout, bound] : table) {
        EXPECT_EQ(lumra::PendingWaitBound(timeout), bound) << timeout.count();
    }
}

TEST(GetMachineNameTest, TheNameWhenItFitsFifteenCharactersElseEmpty) {
    const std::pair<std::optional<std::string>, std::string> table[] = {
        {"KASSAN", "KASSAN"},
        {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"},
        {"ABCDEFGHIJKLMNOP", ""},
        {std::nullopt, ""},
    };
    for (const auto& [name, shown] : table) {
        testing_support::ToolkitTwins twins;
        twins.services.name = name;
        EXPECT_EQ(vemlo::GetMachineName(), shown);
    }
}

} // namespace
