#include "admin/schedule_store.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <array>
#include <gtest/gtest.h>
#include <ostream>

namespace {

constexpr const char* kNextRun = "2014-11-07 06:00:00";
constexpr const char* kPreviousRun = "2014-10-31 06:00:00";

struct RunInfoCase {
    const char* label;
    bool stored;             // "Nextrun" and "Prevrun" as kNextRun and kPreviousRun
    const char* failedValue; // "" when every read succeeds
    const char* nextRun;
    const char* previousRun;
    bool failed;
};

void PrintTo(const RunInfoCase& c, std::ostream* out) {
    *out << c.label;
}

// Nothing stored shows the defaults; a read that fails shows no text at all, so that a front end
// that prints the texts never passes a default off as what is stored.
const std::array kRunInfoCases = {
    RunInfoCase{"nothing_stored_shows_the_defaults", false, "", "2014-10-30 12:00:00", "2013-01-01",
                false},
    RunInfoCase{"stored_as_they_are", true, "", kNextRun, kPreviousRun, false},
    RunInfoCase{"a_failed_nextrun_shows_no_text", true, "Nextrun", "", "", true},
    RunInfoCase{"a_failed_prevrun_shows_no_text", true, "Prevrun", "", "", true},
};

class RunInfoTest : public testing::TestWithParam<RunInfoCase> {
protected:
    testing_support::ToolkitTwins twins;
};

TEST_P(RunInfoTest, ShowsWhatIsStoredOrItsDefaults) {
    const auto& c = GetParam();
    if (c.stored) {
        ASSERT_TRUE(vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, lumra::kTimersKey,
                                          "Nextrun", kNextRun));
        ASSERT_TRUE(vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, lumra::kTimersKey,
                                          "Prevrun", kPreviousRun));
    }
    if (*c.failedValue) {
        twins.store.failQueriesOf(c.failedValue, platform::kBusy);
    }
    const auto runs = lumra::ReadRunInfo(twins.regional.formats(), twins.clock.now());
    EXPECT_EQ(runs.nextRun, c.nextRun);
    EXPECT_EQ(runs.previousRun, c.previousRun);
    EXPECT_EQ(runs.problem.empty(), !c.failed);
}

INSTANTIATE_TEST_SUITE_P(RunInfo, RunInfoTest, testing::ValuesIn(kRunInfoCases),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
