#include "platform/qt/sql_connection_target.h"

#include "platform/connection_string.h"

#include <charconv>

namespace platform {

namespace {

// The provider's name without a trailing version such as ".1".
std::string_view WithoutVersion(std::string_view provider) {
    const auto dot = provider.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == provider.size()) {
        return provider;
    }
    for (const char c : provider.substr(dot + 1)) {
        if (c < '0' || c > '9') {
            return provider;
        }
    }
    return provider.substr(0, dot);
}

bool IsProvider(std::string_view provider, std::string_view name) {
    return SameConnectionStringKey(WithoutVersion(provider), name);
}

bool StartsWithProvider(std::string_view provider, std::string_view name) {
    return provider.size() >= name.size() &&
           SameConnectionStringKey(provider.substr(0, name.size()), name);
}

SqlConnectionTarget Problem(std::string text) {
    SqlConnectionTarget target;
    target.problem = std::move(text);
    return target;
}

SqlConnectionTarget SQLiteTarget(const ConnectionString& connection, SqlAccess access) {
    SqlConnectionTarget target;
    target.driver = "QSQLITE";
    target.databaseName = connection.value("Data Source");
    if (target.databaseName.empty()) {
        return Problem("Anslutningssträngen anger ingen databasfil (Data Source).");
    }
    target.fileMustExist = true;
    if (access == SqlAccess::ReadOnly) {
        target.connectOptions = "QSQLITE_OPEN_READONLY";
    }
    return target;
}

SqlConnectionTarget PostgreSQLTarget(const ConnectionString& connection) {
    SqlConnectionTarget target;
    target.driver = "QPSQL";
    target.hostName = connection.value("Data Source");
    const auto colon = target.hostName.rfind(':');
    if (colon != std::string::npos) {
        const auto digits = std::string_view(target.hostName).substr(colon + 1);
        int port = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), port);
        if (error != std::errc() || end != digits.data() + digits.size() || port < 1 ||
            port > 65535) {
            return Problem("Portnumret i \"" + target.hostName + "\" är ogiltigt.");
        }
        target.port = port;
        target.hostName.resize(colon);
    }
    target.databaseName = connection.value("Initial Catalog");
    target.userName = connection.value("User ID");
    target.password = connection.value("Password");
    return target;
}

SqlConnectionTarget OdbcTarget(std::string databaseName, const ConnectionString& connection) {
    SqlConnectionTarget target;
    target.driver = "QODBC";
    target.databaseName = std::move(databaseName);
    target.userName = connection.value("User ID");
    target.password = connection.value("Password");
    return target;
}

} // namespace

SqlConnectionTarget SqlConnectionTargetFor(std::string_view connectionString, SqlAccess access) {
    const auto connection = ParseConnectionString(connectionString);
    if (!connection) {
        return Problem("Anslutningssträngen kan inte läsas.");
    }
    const auto provider = connection->value("Provider");
    if (IsProvider(provider, "SQLite")) {
        return SQLiteTarget(*connection, access);
    }
    if (StartsWithProvider(provider, "PostgreSQL")) {
        return PostgreSQLTarget(*connection);
    }
    if (IsProvider(provider, "MSDASQL")) {
        auto odbc = connection->value("Extended Properties");
        if (odbc.empty()) {
            odbc = connection->value("Data Source");
        }
        if (odbc.empty()) {
            return Problem("Anslutningssträngen anger ingen ODBC-datakälla (Data Source).");
        }
        return OdbcTarget(std::move(odbc), *connection);
    }
    if (provider.empty() && (connection->has("Driver") || connection->has("DSN"))) {
        return OdbcTarget(std::string(connectionString), ConnectionString{});
    }
    if (provider.empty()) {
        return Problem("Anslutningssträngen anger ingen dataleverantör (Provider).");
    }
    return Problem("Det finns ingen databasdrivrutin för dataleverantören \"" + provider + "\".");
}

} // namespace platform
