#include "platform/qt/qt_sql_connection.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/dialogs/connection_recovery.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <filesystem>
#include <memory>

namespace {

std::string SQLiteString(const std::string& path) {
    return "Provider=SQLite;Data Source=\"" + path + "\"";
}

// A SQLite database file with one table.
void CreateDatabase(const std::string& path) {
    {
        auto database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
        database.setDatabaseName(QString::fromStdString(path));
        QVERIFY(database.open());
        QVERIFY(QSqlQuery(database).exec(QStringLiteral("CREATE TABLE t (x INTEGER)")));
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("setup"));
}

} // namespace

class QtSqlConnectionTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::TempFolder> folder;

private Q_SLOTS:
    void initTestCase() { folder = std::make_unique<testing_support::TempFolder>(); }
    void cleanupTestCase() { folder.reset(); }

    void opensAnExistingFileAndBeginsATransaction() {
        const auto path = folder->file("main.db");
        CreateDatabase(path);
        platform::QtSqlConnection connection("conMain", SQLiteString(path));
        connection.SetConnected(true);
        QVERIFY(connection.Connected());
        connection.BeginTrans();
        connection.SetConnected(false);
        QVERIFY(!connection.Connected());
    }

    void refusesAndNeverCreatesAMissingFile_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-write") << false;
        QTest::newRow("read-only") << true;
    }

    void refusesAndNeverCreatesAMissingFile() {
        QFETCH(bool, readOnly);
        const auto path = folder->file(readOnly ? "missing-ro.db" : "missing.db");
        platform::QtSqlConnection connection("conMain", SQLiteString(path),
                                             readOnly ? platform::SqlAccess::ReadOnly
                                                      : platform::SqlAccess::ReadWrite);
        try {
            connection.SetConnected(true);
            QFAIL("a missing database file opened");
        } catch (const platform::DatabaseError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("Databasfilen \"%1\" finns inte.")
                         .arg(QString::fromStdString(path)));
        }
        QVERIFY(!connection.Connected());
        QVERIFY(!std::filesystem::exists(path));
    }

    void testReportsWhyAConnectionStringDoesNotOpen_data() {
        QTest::addColumn<QString>("connectionString");
        QTest::addColumn<QString>("expected");
        const auto notADatabase = folder->file("notes.db");
        testing_support::WriteFileBytes(notADatabase, std::string(4096, 'x'));
        const auto good = folder->file("good.db");
        CreateDatabase(good);
        QTest::newRow("existing file") << QString::fromStdString(SQLiteString(good)) << QString();
        QTest::newRow("unknown provider") << QStringLiteral("Provider=Jet.4;Data Source=x")
                                          << QStringLiteral("Det finns ingen databasdrivrutin för "
                                                            "dataleverantören \"Jet.4\".");
        QTest::newRow("no provider") << QStringLiteral("Data Source=x")
                                     << QStringLiteral("Anslutningssträngen anger ingen "
                                                       "dataleverantör (Provider).");
        QTest::newRow("no PostgreSQL server")
            << QStringLiteral("Provider=PostgreSQL;Data Source=127.0.0.1:1;Initial Catalog=x")
            << QStringLiteral("*");
        QTest::newRow("no ODBC data source")
            << QStringLiteral("Provider=MSDASQL;Data Source=vemlo-no-such-dsn")
            << QStringLiteral("*");
        QTest::newRow("not a database")
            << QString::fromStdString(SQLiteString(notADatabase)) << QStringLiteral("*");
    }

    void testReportsWhyAConnectionStringDoesNotOpen() {
        QFETCH(QString, connectionString);
        QFETCH(QString, expected);
        const auto problem =
            QString::fromStdString(platform::TestSqlConnection(connectionString.toStdString()));
        if (expected == QStringLiteral("*")) {
            QVERIFY(!problem.isEmpty());
        } else {
            QCOMPARE(problem, expected);
        }
    }

    void aTestOpensReadOnly() {
        const auto path = folder->file("test.db");
        CreateDatabase(path);
        platform::QtSqlConnection connection("conTest", SQLiteString(path),
                                             platform::SqlAccess::ReadOnly);
        connection.SetConnected(true);
        auto database = QSqlDatabase::database(QSqlDatabase::connectionNames().constFirst(), false);
        QVERIFY(!QSqlQuery(database).exec(QStringLiteral("INSERT INTO t VALUES (1)")));
    }

    // The whole round: real connections closed at a suspend and reopened after the resume.
    void suspendAndResumeWithRealConnections() {
        testing_support::ToolkitTwins twins;
        const auto path = folder->file("data.db");
        CreateDatabase(path);
        auto& module = twins.application.add("dmData", vemlo::ContainerKind::DataModule);
        module.Connections.push_back(
            std::make_unique<platform::QtSqlConnection>("conOpen", SQLiteString(path)));
        module.Connections.push_back(std::make_unique<platform::QtSqlConnection>(
            "conGone", SQLiteString(folder->file("gone.db"))));
        auto& open = *module.Connections[0];
        auto& gone = *module.Connections[1];
        open.SetConnected(true);
        gone.SetTag(vemlo::kReconnectTag);
        twins.boxes.answerNext(platform::kBoxNo);

        vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMSUSPEND);
        QVERIFY(!open.Connected());
        QCOMPARE(open.Tag(), vemlo::kReconnectTag);
        vemlo::HandlePowerBroadcast(twins.application, vemlo::PBT_APMRESUMESUSPEND);

        QVERIFY(open.Connected());
        QVERIFY(!gone.Connected());
        QVERIFY(!std::filesystem::exists(folder->file("gone.db")));
        QCOMPARE(twins.boxes.shown().size(), std::size_t(2));
        QVERIFY(QString::fromStdString(twins.boxes.shown()[0].text)
                    .contains(QStringLiteral("finns inte.")));
        QCOMPARE(QString::fromStdString(twins.boxes.shown()[1].text),
                 QStringLiteral("Programmet har återanslutit 1 anslutningar till databasen. "
                                "Kontrollera att ingen data förlorats."));
        QVERIFY(twins.processEnd.codes().empty());
    }
};

QTEST_GUILESS_MAIN(QtSqlConnectionTest)
#include "qt_sql_connection_test.moc"
