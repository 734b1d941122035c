#include "platform/qt/qt_sql_connection.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace platform {

namespace {

QString NextQtName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vemlo-connection-%1").arg(++counter);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

[[noreturn]] void Fail(const QSqlError& error) {
    throw DatabaseError(error.text().toStdString());
}

// Refuses what Qt SQL would get wrong: a missing driver, a SQLite file it would create.
void CheckOpenable(const SqlConnectionTarget& target) {
    if (target.driver.empty()) {
        throw DatabaseError(target.problem);
    }
    if (!QSqlDatabase::isDriverAvailable(Q(target.driver))) {
        throw DatabaseError("Databasdrivrutinen " + target.driver + " är inte installerad.");
    }
    if (target.fileMustExist && !QFileInfo(Q(target.databaseName)).isFile()) {
        throw DatabaseError("Databasfilen \"" + target.databaseName + "\" finns inte.");
    }
}

void Configure(QSqlDatabase& database, const SqlConnectionTarget& target) {
    database.setDatabaseName(Q(target.databaseName));
    database.setHostName(Q(target.hostName));
    database.setPort(target.port);
    database.setUserName(Q(target.userName));
    database.setPassword(Q(target.password));
    database.setConnectOptions(Q(target.connectOptions));
}

} // namespace

QtSqlConnection::QtSqlConnection(std::string name, std::string connectionString, SqlAccess access)
    : TADOConnection(std::move(name), std::move(connectionString))
    , qtName_(NextQtName())
    , access_(access) {}

QtSqlConnection::~QtSqlConnection() {
    if (QSqlDatabase::contains(qtName_)) {
        QSqlDatabase::database(qtName_, false).close();
        QSqlDatabase::removeDatabase(qtName_);
    }
}

bool QtSqlConnection::Connected() const {
    return QSqlDatabase::contains(qtName_) && QSqlDatabase::database(qtName_, false).isOpen();
}

void QtSqlConnection::open() {
    const auto target = SqlConnectionTargetFor(ConnectionString(), access_);
    CheckOpenable(target);
    if (QSqlDatabase::contains(qtName_)) {
        QSqlDatabase::removeDatabase(qtName_);
    }
    auto database = QSqlDatabase::addDatabase(Q(target.driver), qtName_);
    Configure(database, target);
    if (!database.open()) {
        Fail(database.lastError());
    }
    // SQLite opens any file; the first read tells whether it holds a database.
    if (target.driver == "QSQLITE") {
        QSqlQuery probe(database);
        if (!probe.exec(QStringLiteral("PRAGMA schema_version"))) {
            const auto error = probe.lastError();
            probe = QSqlQuery();
            database.close();
            Fail(error);
        }
    }
}

void QtSqlConnection::close() {
    QSqlDatabase::database(qtName_, false).close();
}

void QtSqlConnection::BeginTrans() {
    auto database = QSqlDatabase::database(qtName_, false);
    if (!database.transaction()) {
        Fail(database.lastError());
    }
}

std::string TestSqlConnection(const std::string& connectionString) {
    try {
        QtSqlConnection connection("test", connectionString, SqlAccess::ReadOnly);
        connection.SetConnected(true);
        return {};
    } catch (const DatabaseError& error) {
        return error.what();
    }
}

} // namespace platform
