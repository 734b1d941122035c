#include "platform/linux/hive_schema.h"

#include "platform/linux/sqlite_statement.h"

#include <algorithm>
#include <sqlite3.h>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

const char* const kHiveSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL);
CREATE UNIQUE INDEX keys_by_name ON keys(parent, folded);
CREATE TABLE vals(
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    data TEXT NOT NULL,
    PRIMARY KEY(key, folded)) WITHOUT ROWID;
)sql";

namespace {

// SQLite keeps the table that AUTOINCREMENT needs beside the schema's own objects.
constexpr std::string_view kSequenceTable = "CREATE TABLE sqlite_sequence(name,seq)";

thread_local bool g_KeyCycle = false;

// Runs of blanks and line breaks as one blank, none at either end.
std::string Normalized(std::string_view sql) {
    std::string out;
    bool blank = false;
    for (const char c : sql) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = !out.empty();
            continue;
        }
        if (blank) {
            out += ' ';
            blank = false;
        }
        out += c;
    }
    return out;
}

std::vector<std::string> ExpectedStatements() {
    std::vector<std::string> expected{std::string(kSequenceTable)};
    std::string_view rest = kHiveSchema;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        if (auto statement = Normalized(rest.substr(0, end)); !statement.empty()) {
            expected.push_back(std::move(statement));
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return expected;
}

// A trigger or a view coded into a statement is the file's code, not ours: refused.
int Authorize(void*, int, const char*, const char*, const char*, const char* triggerOrView) {
    return triggerOrView ? SQLITE_DENY : SQLITE_OK;
}

} // namespace

void DefendConnection(sqlite3* db) {
    for (const auto& [option, value] :
         {std::pair{SQLITE_DBCONFIG_DEFENSIVE, 1}, std::pair{SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
          std::pair{SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0},
          std::pair{SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
          std::pair{SQLITE_DBCONFIG_ENABLE_VIEW, 0}}) {
        sqlite3_db_config(db, option, value, nullptr);
    }
    sqlite3_set_authorizer(db, Authorize, nullptr);
}

std::string ForeignSchemaObject(sqlite3* db, int& rc) {
    auto expected = ExpectedStatements();
    Statement rows;
    rc = rows.prepare(db, "SELECT type, name, sql FROM sqlite_schema");
    std::string foreign;
    while ((rc = rows.step()) == SQLITE_ROW) {
        const auto sql = Normalized(rows.text(2));
        if (const auto it = std::find(expected.begin(), expected.end(), sql);
            it != expected.end()) {
            expected.erase(it);
        } else if (foreign.empty()) {
            foreign = rows.text(0) + " '" + rows.text(1) + "'";
        }
    }
    if (rc == SQLITE_DONE) {
        rc = SQLITE_OK;
        if (foreign.empty() && !expected.empty()) {
            foreign = "no \"" + expected.front() + "\"";
        }
    }
    rows.reset();
    return foreign;
}

void NoteKeyCycle() {
    g_KeyCycle = true;
}

std::string HiveContentProblem(sqlite3* db, int rc) {
    if (std::exchange(g_KeyCycle, false)) {
        return "is not a store: a key is its own ancestor (a key row has the root's id 0).";
    }
    if ((rc & 0xFF) != SQLITE_ERROR && (rc & 0xFF) != SQLITE_AUTH) {
        return {};
    }
    int read = SQLITE_OK;
    const auto foreign = ForeignSchemaObject(db, read);
    return foreign.empty() ? std::string()
                           : "is not a store: it holds what no store holds (" + foreign + ").";
}

} // namespace platform
