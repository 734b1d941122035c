#include "platform/qt/sql_connection_target.h"

#include <gtest/gtest.h>

namespace {

using platform::SqlAccess;
using platform::SqlConnectionTarget;

struct TargetCase {
    const char* connectionString;
    SqlAccess access;
    SqlConnectionTarget expected;
};

class SqlConnectionTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(SqlConnectionTargetTest, MapsTheProviderToItsDriver) {
    const auto& c = GetParam();
    const auto target = platform::SqlConnectionTargetFor(c.connectionString, c.access);
    EXPECT_EQ(target.driver, c.expected.driver);
    EXPECT_EQ(target.databaseName, c.expected.databaseName);
    EXPECT_EQ(target.hostName, c.expected.hostName);
    EXPECT_EQ(target.port, c.expected.port);
    EXPECT_EQ(target.userName, c.expected.userName);
    EXPECT_EQ(target.password, c.expected.password);
    EXPECT_EQ(target.connectOptions, c.expected.connectOptions);
    EXPECT_EQ(target.fileMustExist, c.expected.fileMustExist);
    EXPECT_EQ(target.problem.empty(), c.expected.problem.empty()) << target.problem;
}

SqlConnectionTarget NoDriver() {
    SqlConnectionTarget target;
    target.problem = "any";
    return target;
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionStrings, SqlConnectionTargetTest,
    testing::Values(
        TargetCase{"Provider=SQLite;Data Source=/data/lumra.db",
                   SqlAccess::ReadWrite,
                   {"QSQLITE", "/data/lumra.db", "", -1, "", "", "", true, ""}},
        TargetCase{"provider=sqlite.1;data source=\"/data/a;b.db\"",
                   SqlAccess::ReadOnly,
                   {"QSQLITE", "/data/a;b.db", "", -1, "", "", "QSQLITE_OPEN_READONLY", true, ""}},
        TargetCase{"Provider=SQLite", SqlAccess::ReadWrite, NoDriver()},
        TargetCase{"Provider=PostgreSQL OLE DB Provider;Data Source=db.local:5433;"
                   "Initial Catalog=lumra;User ID=anna;Password=\"p;w\"",
                   SqlAccess::ReadWrite,
                   {"QPSQL", "lumra", "db.local", 5433, "anna", "p;w", "", false, ""}},
        TargetCase{"Provider=PostgreSQL;Data Source=db.local;Initial Catalog=lumra",
                   SqlAccess::ReadOnly,
                   {"QPSQL", "lumra", "db.local", -1, "", "", "", false, ""}},
        TargetCase{"Provider=PostgreSQL;Data Source=db.local:port", SqlAccess::ReadWrite,
                   NoDriver()},
        TargetCase{"Provider=PostgreSQL;Data Source=db.local:70000", SqlAccess::ReadWrite,
                   NoDriver()},
        TargetCase{"Provider=MSDASQL.1;Data Source=Lumra;User ID=anna;Password=x",
                   SqlAccess::ReadWrite,
                   {"QODBC", "Lumra", "", -1, "anna", "x", "", false, ""}},
        TargetCase{"Provider=MSDASQL;Extended Properties=\"DSN=Lumra;UID=anna\"",
                   SqlAccess::ReadWrite,
                   {"QODBC", "DSN=Lumra;UID=anna", "", -1, "", "", "", false, ""}},
        TargetCase{"Provider=MSDASQL", SqlAccess::ReadWrite, NoDriver()},
        TargetCase{
            "Driver={SQL Server};Server=s;Database=d",
            SqlAccess::ReadWrite,
            {"QODBC", "Driver={SQL Server};Server=s;Database=d", "", -1, "", "", "", false, ""}},
        TargetCase{"Provider=SQLOLEDB.1;Data Source=server", SqlAccess::ReadWrite, NoDriver()},
        TargetCase{"Data Source=/data/lumra.db", SqlAccess::ReadWrite, NoDriver()},
        TargetCase{"", SqlAccess::ReadWrite, NoDriver()},
        TargetCase{"Provider=\"SQLite", SqlAccess::ReadWrite, NoDriver()}));

TEST(SqlConnectionTargetTest, NamesTheUnknownProviderInItsProblem) {
    const auto target = platform::SqlConnectionTargetFor("Provider=Jet.4;Data Source=x");
    EXPECT_EQ(target.driver, "");
    EXPECT_EQ(target.problem, "Det finns ingen databasdrivrutin för dataleverantören \"Jet.4\".");
}

} // namespace
