#include "platform/linux/hive_paths.h"
#include "tests/support/toolkit_fixture.h"

#include <gtest/gtest.h>

namespace {

struct Environment {
    const char* machine;
    const char* user;
    const char* xdgConfig;
    const char* home;
};

struct PathCase {
    const char* name;
    Environment environment;
    std::string machineHive;
    std::string userHive;
    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }
};

class HivePathsTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(HivePathsTest, FollowTheEnvironment) {
    const auto& c = GetParam();
    testing_support::SetEnvironment("VEMLO_MACHINE_HIVE", c.environment.machine);
    testing_support::SetEnvironment("VEMLO_USER_HIVE", c.environment.user);
    testing_support::SetEnvironment("XDG_CONFIG_HOME", c.environment.xdgConfig);
    testing_support::SetEnvironment("HOME", c.environment.home);
    EXPECT_EQ(platform::MachineHivePath(), c.machineHive);
    EXPECT_EQ(platform::UserHivePath(), c.userHive);
}

INSTANTIATE_TEST_SUITE_P(Variables, HivePathsTest,
                         ::testing::Values(PathCase{"Defaults",
                                                    {nullptr, nullptr, nullptr, "/home/anna"},
                                                    "/var/lib/vemlo/machine.hive",
                                                    "/home/anna/.config/vemlo/user.hive"},
                                           PathCase{"XdgConfigHome",
                                                    {nullptr, nullptr, "/cfg", "/home/anna"},
                                                    "/var/lib/vemlo/machine.hive",
                                                    "/cfg/vemlo/user.hive"},
                                           PathCase{
                                               "Overridden",
                                               {"/srv/m.hive", "/tmp/u.hive", "/cfg", "/home/anna"},
                                               "/srv/m.hive",
                                               "/tmp/u.hive"},
                                           PathCase{"EmptyOverrideIsIgnored",
                                                    {"", "", nullptr, "/home/anna"},
                                                    "/var/lib/vemlo/machine.hive",
                                                    "/home/anna/.config/vemlo/user.hive"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
