#pragma once

#include <string>
#include <string_view>

namespace platform {

// Whether a connection may change its database. A connection test opens read-only.
enum class SqlAccess { ReadWrite, ReadOnly };

// The Qt SQL connection that a connection string stands for:
// - Provider "SQLite": QSQLITE, "Data Source" the database file, which must exist already.
// - Provider "PostgreSQL" (any name beginning so): QPSQL, "Data Source" host[:port],
//   "Initial Catalog" the database, "User ID", "Password".
// - Provider "MSDASQL": QODBC, "Extended Properties" an ODBC connection string or else
//   "Data Source" a data source name; "User ID", "Password".
// - No provider but "Driver=" or "DSN=": QODBC with the whole text as its connection string.
// A provider name may carry a version suffix (".1"); names compare without regard to case.
// Anything else has no driver, and problem tells the user why.
struct SqlConnectionTarget {
    std::string driver; // empty: no Qt SQL driver serves the connection string
    std::string databaseName;
    std::string hostName;
    int port = -1;
    std::string userName;
    std::string password;
    std::string connectOptions;
    bool fileMustExist = false;
    std::string problem;
};

SqlConnectionTarget SqlConnectionTargetFor(std::string_view connectionString,
                                           SqlAccess access = SqlAccess::ReadWrite);

} // namespace platform
