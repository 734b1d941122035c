// vemlo-reg against a hive that another connection holds locked: each command gives up within
// its one budget, says so, and changes nothing. Exact times are measured in bench/, not here.
#include "tests/support/child_process.h"
#include "tests/support/shared_folder.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/toolkit_fixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Command {
    const char* name;
    std::string args;
    friend void PrintTo(const Command& c, std::ostream* os) { *os << c.name; }
};

class LockedHiveTest : public ::testing::TestWithParam<Command> {
protected:
    int reg(const std::string& args) {
        const int status =
            std::system(("VEMLO_MACHINE_HIVE='" + folder.file("m.hive") + "' VEMLO_USER_HIVE='" +
                         folder.file("u.hive") + "' timeout -s KILL 60 " + VEMLO_REG_PATH + " " +
                         args + " >" + folder.file("out") + " 2>" + folder.file("err"))
                            .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testing_support::TempFolder folder;
};

TEST_P(LockedHiveTest, FailsWithinTheBudgetAndChangesNothing) {
    ASSERT_EQ(reg("set 'A\\B' V stored"), 0);
    ASSERT_EQ(reg("export A '" + folder.file("A.reg") + "'"), 0);
    const auto before = testing_support::ReadFileBytes(folder.file("m.hive"));
    int code = 0;
    std::chrono::steady_clock::duration took{};
    {
        testing_support::HeldLock lock(folder.file("m.hive"));
        const auto started = std::chrono::steady_clock::now();
        auto args = GetParam().args;
        if (const auto at = args.find("FILE"); at != std::string::npos) {
            args.replace(at, 4, folder.file("A.reg"));
        }
        code = reg(args);
        took = std::chrono::steady_clock::now() - started;
    }
    EXPECT_EQ(code, 3) << testing_support::ReadFileBytes(folder.file("err"));
    // Twice the budget: a slow machine's start-up, never a wait per statement.
    EXPECT_LT(took, std::chrono::seconds(10));
    EXPECT_NE(testing_support::ReadFileBytes(folder.file("err")).find("locked"), std::string::npos)
        << testing_support::ReadFileBytes(folder.file("err"));
    EXPECT_EQ(testing_support::ReadFileBytes(folder.file("m.hive")), before);
    ASSERT_EQ(reg("get 'A\\B' V"), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(folder.file("out")), "stored\n");
}

INSTANTIATE_TEST_SUITE_P(Commands, LockedHiveTest,
                         ::testing::Values(Command{"Get", "get 'A\\B' V"},
                                           Command{"Set", "set 'A\\B' V changed"},
                                           Command{"SetInANewKey", "set 'A\\New' V x"},
                                           Command{"Delete", "delete 'A\\B'"},
                                           Command{"List", "list A"}, Command{"Export", "export A"},
                                           Command{"Import", "import 'FILE'"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Root creates the hive; then writers of several users, root among them, set and get values at
// once for a few seconds, as the service, the window and scripts do.
TEST(SharedHiveLoad, ManyUsersWritingAndReadingAtOnceLoseNothing) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "runs only as root: its writers run as other users";
    }
    const testing_support::SharedFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::string& shared = folder.path();
    const std::string hive = shared + "/machine/machine.hive";
    const auto env = [&](int uid) {
        return "VEMLO_MACHINE_HIVE='" + hive + "' VEMLO_USER_HIVE='" + shared + "/u" +
               std::to_string(uid) + ".hive' ";
    };
    ASSERT_EQ(std::system((env(0) + VEMLO_REG_PATH + " set 'Load\\Root' V 0").c_str()), 0);
    // The other users may not enter the build folder (a checkout under /root).
    std::string problem;
    const std::string program = testing_support::ReachableCopy(VEMLO_REG_PATH, problem);
    ASSERT_FALSE(program.empty()) << problem;
    const std::vector<int> users = {-1, 65534, 65533, 65532};
    std::vector<testing_support::Child> writers;
    for (const int uid : users) {
        const std::string key = "'Load\\W" + std::to_string(uid) + "'";
        const std::string reg = env(uid) + program;
        writers.push_back(testing_support::StartChild(
            {"/bin/sh", "-c",
             "i=0; failed=0; end=$(($(date +%s) + 8)); while [ $(date +%s) -lt $end ]; do "
             "i=$((i+1)); " +
                 reg + " set " + key + " V $i || failed=$((failed+1)); " + reg + " get " + key +
                 " V >/dev/null || failed=$((failed+1)); done; echo $i $failed"},
            uid));
    }
    for (std::size_t w = 0; w < writers.size(); ++w) {
        const auto output = testing_support::ReadAll(writers[w]);
        testing_support::Wait(writers[w].pid);
        int last = 0;
        int failed = -1;
        ASSERT_EQ(std::sscanf(output.c_str(), "%d %d", &last, &failed), 2) << output;
        EXPECT_EQ(failed, 0) << "user " << users[w];
        EXPECT_GT(last, 0);
        const std::string key = "'Load\\W" + std::to_string(users[w]) + "'";
        const auto got = env(0) + VEMLO_REG_PATH + " get " + key + " V >" + shared + "/last";
        ASSERT_EQ(std::system(got.c_str()), 0);
        EXPECT_EQ(testing_support::ReadFileBytes(shared + "/last"), std::to_string(last) + "\n");
    }
    EXPECT_EQ(testing_support::IntegrityCheck(hive), "ok");
}

} // namespace
