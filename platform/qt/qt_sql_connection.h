#pragma once

#include "platform/database_connection.h"
#include "platform/qt/sql_connection_target.h"

#include <QString>
#include <string>

namespace platform {

// A connection through Qt SQL, to the database its connection string names (see
// sql_connection_target.h). A SQLite file that does not exist is never created: opening fails.
class QtSqlConnection final : public TADOConnection {
public:
    QtSqlConnection(std::string name, std::string connectionString,
                    SqlAccess access = SqlAccess::ReadWrite);
    ~QtSqlConnection() override;

    bool Connected() const override;
    void BeginTrans() override;

protected:
    void open() override;
    void close() override;

private:
    QString qtName_;
    SqlAccess access_;
};

// Opens the connection string read-only and closes it again: "" when it opened, else the reason.
std::string TestSqlConnection(const std::string& connectionString);

} // namespace platform
