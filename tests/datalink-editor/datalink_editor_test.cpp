#include "datalink-editor/TfrmDataLinkEditor.h"
#include "platform/qt/qt_sql_connection.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_controls.h"
#include "toolkit/dataproviders/data_link_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace {

std::string Canonical(const std::string& connection) {
    return vemlo::DataLinkBytes(connection).value();
}

} // namespace

class DataLinkEditorTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::TempFolder> folder;
    std::unique_ptr<testing_support::ToolkitTwins> twins;
    std::unique_ptr<vemlo::TfrmDataLinkEditor> editor;
    std::string link;

    template <typename T = QWidget> T* control(const char* name) {
        return testing_support::FindControl<T>(editor.get(), name);
    }

    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }
    QString raw() { return edit("edConnectionString")->text(); }

    void openEditor(const std::string& bytes) {
        testing_support::WriteFileBytes(link, bytes);
        openPlanted();
    }

    // Opens the editor on whatever lies at the path.
    void openPlanted() {
        editor = std::make_unique<vemlo::TfrmDataLinkEditor>(link, twins->boxes,
                                                             &platform::TestSqlConnection);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    }

    void typeInto(QWidget* field, const QString& text) {
        field->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            line->selectAll();
        }
        QTest::keyClicks(field, text);
    }

private Q_SLOTS:
    void init() {
        folder = std::make_unique<testing_support::TempFolder>();
        link = folder->file("lager.udl");
        twins = std::make_unique<testing_support::ToolkitTwins>();
    }

    void cleanup() {
        editor.reset();
        twins.reset();
        folder.reset();
    }

    void opensTheFileIntoItsFields() {
        openEditor(Canonical("Provider=SQLite;Data Source=\"/srv/a;b.db\";Initial Catalog=Bok;"
                             "User ID=anna;Password=hemligt;Persist Security Info=True"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Egenskaper för datalänk"));
        QCOMPARE(control<QComboBox>("cbProvider")->currentText(), QStringLiteral("SQLite"));
        QCOMPARE(edit("edDataSource")->text(), QStringLiteral("/srv/a;b.db"));
        QCOMPARE(edit("edInitialCatalog")->text(), QStringLiteral("Bok"));
        QCOMPARE(edit("edUserID")->text(), QStringLiteral("anna"));
        QCOMPARE(edit("edPassword")->text(), QStringLiteral("hemligt"));
        QCOMPARE(edit("edPassword")->echoMode(), QLineEdit::Password);
        QVERIFY(control<QCheckBox>("cbPersistSecurityInfo")->isChecked());
        QVERIFY(!control<QLabel>("lbProblem")->isVisible());
        QVERIFY(twins->boxes.shown().empty());
        for (const char* name : {"edDataSource", "edUserID", "edConnectionString"}) {
            QVERIFY(!edit(name)->accessibleName().isEmpty());
        }
    }

    void anEmptyFileOpensAsAnEmptyConnectionString() {
        openEditor("");
        QCOMPARE(raw(), QString());
        QVERIFY(twins->boxes.shown().empty());
    }

    void fieldsAndTheStringStayInSync() {
        openEditor(Canonical("Provider=SQLite"));
        typeInto(edit("edDataSource"), QStringLiteral("/srv/Malmo;1.db"));
        QCOMPARE(raw(), QStringLiteral("Provider=SQLite;Data Source=\"/srv/Malmo;1.db\""));
        typeInto(edit("edConnectionString"), QStringLiteral("Provider=PostgreSQL;User ID=bo"));
        QCOMPARE(control<QComboBox>("cbProvider")->currentText(), QStringLiteral("PostgreSQL"));
        QCOMPARE(edit("edUserID")->text(), QStringLiteral("bo"));
        QCOMPARE(edit("edDataSource")->text(), QString());
        QTest::mouseClick(control<QCheckBox>("cbPersistSecurityInfo"), Qt::LeftButton);
        QCOMPARE(raw(),
                 QStringLiteral("Provider=PostgreSQL;User ID=bo;Persist Security Info=True"));
    }

    void savingWritesTheCanonicalFormInOneStep() {
        openEditor("[oledb]\n; old style\nProvider=SQLite\n");
        typeInto(edit("edDataSource"), QStringLiteral("x.db"));
        QTest::mouseClick(control<QPushButton>("btnSpara"), Qt::LeftButton);
        QCOMPARE(testing_support::ReadFileBytes(link),
                 Canonical("Provider=SQLite;Data Source=x.db"));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(folder->path()), {}), 1);
        QVERIFY(twins->boxes.shown().empty());
    }

    void aMalformedStringIsShownAndNeverSaved() {
        const auto bytes = Canonical("Provider=SQLite");
        openEditor(bytes);
        typeInto(edit("edConnectionString"), QStringLiteral("Provider=\"open"));
        QVERIFY(control<QLabel>("lbProblem")->isVisible());
        QTest::mouseClick(control<QPushButton>("btnSpara"), Qt::LeftButton);
        QCOMPARE(twins->boxes.shownTexts(),
                 std::vector<std::string>{"Anslutningssträngen kan inte tolkas och sparas inte."});
        QCOMPARE(testing_support::ReadFileBytes(link), bytes);
    }

    void aFileThatIsNoDataLinkIsLeftAsItIs_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("text") << QByteArray("just some notes\n");
        QTest::addRow("binary") << QByteArray("\x7F"
                                              "ELF\x02\x01\x00\x00\xFF",
                                              9);
    }

    void aFileThatIsNoDataLinkIsLeftAsItIs() {
        QFETCH(QByteArray, bytes);
        const auto original = bytes.toStdString();
        openEditor(original);
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QCOMPARE(twins->boxes.shown()[0].kind, platform::BoxKind::Warning);
        QCOMPARE(twins->boxes.shown()[0].text,
                 "Filen \"" + link +
                     "\" är ingen datalänkfil.\r\rDen skrivs inte över "
                     "om du inte sparar.");
        QCOMPARE(raw(), QString());
        editor->close();
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QCOMPARE(testing_support::ReadFileBytes(link), original);
    }

    // The data links folder may be shared: what another user planted there is refused with a
    // box naming it and the reason, never followed, waited on or read whole, and saving replaces
    // the entry itself, never a link's target.
    void aPlantedFileIsRefusedAndSavingReplacesTheEntryItself_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("saves");
        QTest::addRow("a link to another user's file")
            << QStringLiteral("link to file") << QStringLiteral("den är en symbolisk länk") << true;
        QTest::addRow("a link to /dev/zero")
            << QStringLiteral("link to zero") << QStringLiteral("den är en symbolisk länk") << true;
        QTest::addRow("a FIFO") << QStringLiteral("fifo")
                                << QStringLiteral("den är ingen vanlig fil") << true;
        QTest::addRow("a file past the size")
            << QStringLiteral("large") << QStringLiteral("den är större än 64 kB") << true;
        QTest::addRow("a folder") << QStringLiteral("folder")
                                  << QStringLiteral("den är ingen vanlig fil") << false;
    }

    void aPlantedFileIsRefusedAndSavingReplacesTheEntryItself() {
        QFETCH(QString, planted);
        QFETCH(QString, reason);
        QFETCH(bool, saves);
        const auto target = folder->file("root-owned.conf");
        testing_support::WriteFileBytes(target, "kept as it is\n");
        if (planted == QStringLiteral("link to file")) {
            std::filesystem::create_symlink(target, link);
        } else if (planted == QStringLiteral("link to zero")) {
            std::filesystem::create_symlink("/dev/zero", link);
        } else if (planted == QStringLiteral("fifo")) {
            QCOMPARE(::mkfifo(link.c_str(), 0600), 0);
        } else if (planted == QStringLiteral("large")) {
            testing_support::WriteFileBytes(link, Canonical(std::string(40000, 'x')));
        } else {
            std::filesystem::create_directory(link);
        }
        openPlanted();
        QCOMPARE(twins->boxes.shownTexts(),
                 std::vector<std::string>{"Datalänken \"" + link +
                                          "\" öppnas inte: " + reason.toStdString() +
                                          ".\r\rDen skrivs inte över om du inte sparar."});
        QCOMPARE(raw(), QString());

        typeInto(edit("edDataSource"), QStringLiteral("x.db"));
        QCOMPARE(editor->Save(), saves);
        QCOMPARE(testing_support::ReadFileBytes(target), std::string("kept as it is\n"));
        if (saves) {
            QVERIFY(std::filesystem::is_regular_file(std::filesystem::symlink_status(link)));
            QCOMPARE(testing_support::ReadFileBytes(link), Canonical("Data Source=x.db"));
        } else {
            QCOMPARE(twins->boxes.shown().size(), size_t{2});
            QVERIFY(twins->boxes.shown()[1].text.starts_with("Datalänken \"" + link +
                                                             "\" kunde inte sparas: "));
        }
        // Nothing is left beside it.
        QCOMPARE(std::distance(std::filesystem::directory_iterator(folder->path()), {}), 2);
    }

    // A name copied from elsewhere need not be UTF-8: shown readably, saved as the file it is.
    void aFileNameThatIsNoUtf8IsShownReadablyAndSaved() {
        link = folder->file("l\xF6n.udl");
        openEditor(Canonical("Provider=SQLite"));
        QVERIFY(control<QLabel>("lbFile")->text().endsWith(QStringLiteral("/lön.udl")));
        typeInto(edit("edDataSource"), QStringLiteral("x.db"));
        QVERIFY(editor->Save());
        QCOMPARE(testing_support::ReadFileBytes(link),
                 Canonical("Provider=SQLite;Data Source=x.db"));
    }

    void closingWithUnsavedChangesAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addRow("save") << platform::kBoxYes << true;
        QTest::addRow("drop") << platform::kBoxNo << false;
    }

    void closingWithUnsavedChangesAsks() {
        QFETCH(int, answer);
        QFETCH(bool, saved);
        const auto bytes = Canonical("Provider=SQLite");
        openEditor(bytes);
        typeInto(edit("edUserID"), QStringLiteral("anna"));
        twins->boxes.answerNext(answer);
        QTest::mouseClick(control<QPushButton>("btnStang"), Qt::LeftButton);
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        QCOMPARE(twins->boxes.shown()[0].buttons, platform::BoxButtons::YesNo);
        QVERIFY(!editor->isVisible());
        QCOMPARE(testing_support::ReadFileBytes(link),
                 saved ? Canonical("Provider=SQLite;User ID=anna") : bytes);
    }

    void testingTheConnection_data() {
        QTest::addColumn<QByteArray>("database"); // content of the database file; null: none
        QTest::addColumn<QString>("provider");
        QTest::addColumn<bool>("succeeds");
        QTest::addRow("a SQLite file") << QByteArray("") << QStringLiteral("SQLite") << true;
        QTest::addRow("a missing SQLite file") << QByteArray() << QStringLiteral("SQLite") << false;
        QTest::addRow("no database in the file")
            << QByteArray("not a database, but long enough to be read as one........")
            << QStringLiteral("SQLite") << false;
        QTest::addRow("a provider without a driver")
            << QByteArray("") << QStringLiteral("Microsoft.Jet.OLEDB.4.0") << false;
    }

    void testingTheConnection() {
        QFETCH(QByteArray, database);
        QFETCH(QString, provider);
        QFETCH(bool, succeeds);
        const auto path = folder->file("data.db");
        if (!database.isNull()) {
            testing_support::WriteFileBytes(path, database.toStdString());
        }
        openEditor(
            Canonical("Provider=" + provider.toStdString() + ";Data Source=\"" + path + "\""));
        QTest::mouseClick(control<QPushButton>("btnTesta"), Qt::LeftButton);
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        const auto& box = twins->boxes.shown()[0];
        if (succeeds) {
            QCOMPARE(box.kind, platform::BoxKind::Information);
            QCOMPARE(box.text, std::string("Anslutningen lyckades."));
        } else {
            QCOMPARE(box.kind, platform::BoxKind::Warning);
            QVERIFY2(box.text.starts_with("Anslutningen misslyckades.\r\r") && box.text.size() > 30,
                     box.text.c_str());
        }
        QCOMPARE(std::filesystem::exists(path), !database.isNull());
        QCOMPARE(testing_support::ReadFileBytes(path), database.toStdString());
    }
};

QTEST_MAIN(DataLinkEditorTest)
#include "datalink_editor_test.moc"
