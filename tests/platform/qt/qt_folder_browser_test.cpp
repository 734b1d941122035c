// The folder chooser as a user meets it: opened modally over its owner, answered by the test
// once it is up.
#include "platform/qt/qt_folder_browser.h"
#include "tests/support/toolkit_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

namespace {

// Runs the step on the folder dialog as soon as it is the active modal window.
void WhenOpen(std::function<void(QFileDialog*)> step) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, step] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            step(dialog);
        }
    });
    poll->start(10);
}

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

class QtFolderBrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing_support::TempFolder> folder;
    platform::QtFolderBrowser browser;

private Q_SLOTS:
    void init() {
        folder = std::make_unique<testing_support::TempFolder>();
        std::filesystem::create_directory(folder->path() / "bok");
        testing_support::WriteFileBytes(folder->file("notes.txt"), "x");
    }

    void cleanup() { folder.reset(); }

    void opensModallyOverTheOwnerOnTheFolderWithTheTitle() {
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        struct Seen {
            QWidget* parent = nullptr;
            bool modal = false;
            QString title;
            QString directory;
            QFileDialog::FileMode mode = QFileDialog::AnyFile;
            bool dirsOnly = false;
        } seen;
        WhenOpen([&](QFileDialog* dialog) {
            seen = {dialog->parentWidget(), dialog->isModal(),
                    dialog->windowTitle(),  dialog->directory().canonicalPath(),
                    dialog->fileMode(),     dialog->testOption(QFileDialog::ShowDirsOnly)};
            dialog->reject();
        });
        const auto chosen = browser.browse({.owner = owner.winId(),
                                            .title = "Välj exportkatalog",
                                            .initialFolder = folder->path().string(),
                                            .flags = 117});
        QCOMPARE(seen.parent, &owner);
        QVERIFY(seen.modal);
        QCOMPARE(seen.title, QStringLiteral("Välj exportkatalog"));
        QCOMPARE(seen.directory, QDir(Q(folder->path())).canonicalPath());
        QCOMPARE(seen.mode, QFileDialog::Directory);
        QVERIFY(seen.dirsOnly);
        QVERIFY(!chosen);
    }

    void acceptingGivesTheFolderWithoutTrailingSeparator() {
        bool dirsOnly = true;
        WhenOpen([&](QFileDialog* dialog) {
            dirsOnly = dialog->testOption(QFileDialog::ShowDirsOnly);
            dialog->setDirectory(Q(folder->path() / "bok"));
            static_cast<QDialog*>(dialog)->accept();
        });
        const auto chosen = browser.browse(
            {.title = "t", .initialFolder = folder->path().string() + "/", .flags = 0});
        QVERIFY(!dirsOnly);
        QVERIFY(chosen.has_value());
        QCOMPARE(QDir(QString::fromStdString(*chosen)).canonicalPath(),
                 QDir(Q(folder->path() / "bok")).canonicalPath());
        QVERIFY(!chosen->ends_with('/'));
    }

    void aMissingOrEmptyFolderOpensWithoutThatSelection_data() {
        QTest::addColumn<QString>("initial");
        QTest::addRow("empty") << QString();
        QTest::addRow("missing") << QStringLiteral("/nonexistent/vemlo/folder");
    }

    void aMissingOrEmptyFolderOpensWithoutThatSelection() {
        QFETCH(QString, initial);
        QString opened;
        WhenOpen([&](QFileDialog* dialog) {
            opened = dialog->directory().absolutePath();
            dialog->reject();
        });
        const auto chosen =
            browser.browse({.title = "t", .initialFolder = initial.toStdString(), .flags = 117});
        QVERIFY(!chosen);
        QVERIFY(!opened.isEmpty());
        QVERIFY(!opened.startsWith(QStringLiteral("/nonexistent")));
    }
};

QTEST_MAIN(QtFolderBrowserTest)
#include "qt_folder_browser_test.moc"
