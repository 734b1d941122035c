// The machine hive is every local user's to write, its schema included: what another user puts
// into it must neither crash nor hang root's vemlo-reg, nor make it store anything but what it
// was told to.
#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"
#include "toolkit/settings/store_failures.h"
#include "toolkit/toolkit_platform.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class HostileHiveTest : public ::testing::Test {
protected:
    struct Run {
        int exitCode; // -1 when the program did not end by itself
        std::string err;
        double seconds;
    };

    // vemlo-reg on the test's hive, ended by a kill should it hang.
    Run reg(const std::string& args) {
        const auto started = Clock::now();
        const int status =
            std::system(("VEMLO_MACHINE_HIVE='" + hive() + "' VEMLO_USER_HIVE='" +
                         folder.file("u.hive") + "' timeout -s KILL 60 " + VEMLO_REG_PATH + " " +
                         args + " >" + folder.file("out") + " 2>" + folder.file("err"))
                            .c_str());
        const std::chrono::duration<double> took = Clock::now() - started;
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return {code == 124 || code >= 128 ? -1 : code,
                testing_support::ReadFileBytes(folder.file("err")), took.count()};
    }
    std::string out() { return testing_support::ReadFileBytes(folder.file("out")); }

    // Runs sql on the hive with a connection of its own; the first column of the first row.
    std::string raw(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open(hive().c_str(), &db);
        std::string first;
        char* error = nullptr;
        sqlite3_exec(
            db, sql.c_str(),
            [](void* to, int, char** values, char**) {
                auto& text = *static_cast<std::string*>(to);
                if (text.empty() && values[0]) {
                    text = values[0];
                }
                return 0;
            },
            &first, &error);
        EXPECT_EQ(error, nullptr) << error << " in " << sql;
        sqlite3_free(error);
        sqlite3_close(db);
        return first;
    }
    std::string storedValue() { return raw("SELECT data FROM vals WHERE folded='v'"); }
    std::string hive() const { return folder.file("m.hive"); }

    testing_support::TempFolder folder;
};

struct Crafted {
    const char* name;
    const char* sql;
    friend void PrintTo(const Crafted& c, std::ostream* os) { *os << c.name; }
};

class CraftedSchemaTest : public HostileHiveTest, public ::testing::WithParamInterface<Crafted> {};

TEST_P(CraftedSchemaTest, IsRefusedByEveryCommandAndNothingRuns) {
    ASSERT_EQ(reg("set 'A\\B' V stored").exitCode, 0);
    ASSERT_EQ(reg("export A '" + folder.file("A.reg") + "'").exitCode, 0);
    raw(GetParam().sql);
    for (const auto& args : std::vector<std::string>{
             "set 'A\\B' V '/home/root-only/'", "get 'A\\B' V", "delete 'A\\B'", "export A",
             "list A", "import '" + folder.file("A.reg") + "'"}) {
        const auto run = reg(args);
        EXPECT_EQ(run.exitCode, 3) << args << ": " << run.err;
        EXPECT_NE(run.err.find("holds what no store holds"), std::string::npos)
            << args << ": " << run.err;
        EXPECT_LT(run.seconds, 10) << args;
    }
    EXPECT_EQ(storedValue(), "stored");
}

// Made while a process has the hive open, as another user may do while the window stays open
// for hours: it runs nothing in that process either.
TEST_P(CraftedSchemaTest, MadeWhileTheStoreIsOpenRunsNothing) {
    platform::SqliteSettingsStore store(folder.file("u.hive"), hive());
    testing_support::WiredToolkit wired({.settingsStore = &store});
    ASSERT_TRUE(vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, "A\\B", "V", "stored"));
    raw(GetParam().sql);
    const std::string folder = "/home/root-only/";
    if (vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, "A\\B", "V", folder)) {
        EXPECT_EQ(storedValue(), folder);
        EXPECT_EQ(vemlo::RegReadString(vemlo::RegRoot::LocalMachine, "A\\B", "V"), folder);
    } else {
        EXPECT_NE(vemlo::LastWriteFailure().find("holds what no store holds"), std::string::npos)
            << vemlo::LastWriteFailure();
        EXPECT_EQ(storedValue(), "stored");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Schemas, CraftedSchemaTest,
    ::testing::Values(
        Crafted{"TriggerThatDoesNotCompile",
                "CREATE TABLE gone(x); CREATE TRIGGER t AFTER INSERT ON vals BEGIN INSERT INTO "
                "gone VALUES(1); END; DROP TABLE gone;"},
        Crafted{"TriggerLoadingAnExtension",
                "CREATE TRIGGER t AFTER UPDATE ON vals BEGIN SELECT load_extension('/tmp/x'); "
                "END;"},
        Crafted{"TriggerCallingTheTokenizerFunction",
                "CREATE TRIGGER t AFTER UPDATE ON vals BEGIN SELECT fts3_tokenizer('x', "
                "x'0100000000000000'); END;"},
        Crafted{"NeverEndingTrigger",
                "CREATE TRIGGER t AFTER UPDATE ON vals BEGIN WITH RECURSIVE c(i) AS (SELECT 1 "
                "UNION ALL SELECT i+1 FROM c) SELECT count(*) FROM c; END;"},
        Crafted{"TriggerRewritingWhatIsStored",
                "CREATE TRIGGER t AFTER UPDATE ON vals BEGIN UPDATE vals SET data='/home/evil/' "
                "WHERE key=new.key AND folded=new.folded; END;"},
        Crafted{"KeysReplacedByAView",
                "ALTER TABLE keys RENAME TO k; CREATE VIEW keys AS SELECT * FROM k;"},
        Crafted{"AnotherTable", "CREATE TABLE extra(x);"},
        Crafted{"AnotherIndex", "CREATE INDEX by_data ON vals(data);"},
        Crafted{
            "ItsIndexChanged",
            "DROP INDEX keys_by_name; CREATE UNIQUE INDEX keys_by_name ON keys(parent, name);"}),
    [](const auto& info) { return std::string(info.param.name); });

// A chain of keys far deeper than a key path can name, written with SQL.
TEST_F(HostileHiveTest, ADeepChainOfKeysIsRefusedWithNothingDeleted) {
    ASSERT_EQ(reg("set 'A\\B' V stored").exitCode, 0);
    raw("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<50000) "
        "INSERT INTO keys(id, parent, name, folded) "
        "SELECT 1000+i, CASE i WHEN 1 THEN 1 ELSE 999+i END, 'k', 'k' FROM n;");
    const auto keys = raw("SELECT count(*) FROM keys");
    for (const char* args : {"export A", "delete 'A\\k'", "delete 'A\\k\\k\\k'"}) {
        const auto run = reg(args);
        EXPECT_EQ(run.exitCode, 3) << args << ": " << run.err;
        EXPECT_NE(run.err.find("levels deep"), std::string::npos) << args << ": " << run.err;
    }
    EXPECT_EQ(raw("SELECT count(*) FROM keys"), keys);
    EXPECT_EQ(raw("PRAGMA integrity_check"), "ok");
}

// The root's id on a key row makes the key its own ancestor.
TEST_F(HostileHiveTest, AKeyThatIsItsOwnAncestorIsRefusedAtOnce) {
    ASSERT_EQ(reg("set 'A\\B' V stored").exitCode, 0);
    raw("INSERT INTO keys(id, parent, name, folded) VALUES(0, 0, 'x', 'x');");
    for (const char* args : {"delete x", "export x", "list x", "get 'x\\x' V"}) {
        const auto run = reg(args);
        EXPECT_EQ(run.exitCode, 3) << args << ": " << run.err;
        EXPECT_NE(run.err.find("its own ancestor"), std::string::npos) << args << ": " << run.err;
        EXPECT_LT(run.seconds, 10) << args;
    }
    EXPECT_EQ(reg("get 'A\\B' V").exitCode, 0);
    EXPECT_EQ(out(), "stored\n");
}

} // namespace
