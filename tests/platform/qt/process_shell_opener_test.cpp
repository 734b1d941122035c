#include "platform/qt/process_shell_opener.h"
#include "tests/support/toolkit_fixture.h"

#include <QCoreApplication>
#include <QTest>
#include <filesystem>

class ProcessShellOpenerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A name with what a shell would act on reaches the editor as one argument, untouched.
    void aDataLinkFileGoesToTheEditorAsOneAbsoluteArgument_data() {
        QTest::addColumn<QString>("name");
        QTest::addRow("plain") << QStringLiteral("lager.udl");
        QTest::addRow("capitals") << QStringLiteral("LAGER.UDL");
        QTest::addRow("shell text") << QStringLiteral("a; touch pwned $(touch pwned2) `x`.udl");
        QTest::addRow("option-like") << QStringLiteral("-platform.udl");
    }

    void aDataLinkFileGoesToTheEditorAsOneAbsoluteArgument() {
        QFETCH(QString, name);
        testing_support::TempFolder folder;
        const auto record = folder.file("record.txt");
        testing_support::SetEnvironment("VEMLO_RECORD_TO", record.c_str());
        platform::ProcessShellOpener opener(ARGUMENT_RECORDER_PATH);
        QVERIFY(opener.open(name.toStdString(), folder.path().string()));
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(record), 20000);
        const auto expected =
            folder.path().string() + "\n" + folder.file(name.toStdString()) + "\n";
        QCOMPARE(testing_support::ReadFileBytes(record), expected);
        QVERIFY(!std::filesystem::exists(folder.file("pwned")));
        QVERIFY(!std::filesystem::exists(folder.file("pwned2")));
    }

    // A file name need not be UTF-8; the editor must get the very bytes to open the file.
    void aNameThatIsNoUtf8ReachesTheEditorByteForByte() {
        testing_support::TempFolder folder;
        const auto record = folder.file("record.txt");
        testing_support::SetEnvironment("VEMLO_RECORD_TO", record.c_str());
        platform::ProcessShellOpener opener(ARGUMENT_RECORDER_PATH);
        const std::string name = "l\xF6n.udl";
        QVERIFY(opener.open(name, folder.path().string()));
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(record), 20000);
        QCOMPARE(testing_support::ReadFileBytes(record),
                 folder.path().string() + "\n" + folder.file(name) + "\n");
    }

    void aMissingEditorIsNoCrash() {
        testing_support::TempFolder folder;
        platform::ProcessShellOpener opener(folder.file("no-such-editor"));
        QVERIFY(!opener.open("lager.udl", folder.path().string()));
    }
};

QTEST_GUILESS_MAIN(ProcessShellOpenerTest)
#include "process_shell_opener_test.moc"
