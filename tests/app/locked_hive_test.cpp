// vemlo-reg against a hive that another connection holds locked: each command gives up within
// its one budget, says so, and changes nothing. Exact times are measured in bench/, not here.
#include "tests/support/sqlite_file.h"
#include "tests/support/toolkit_fixture.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

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

} // namespace
