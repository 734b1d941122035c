#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

Q_DECLARE_METATYPE(platform::BoxKind)
Q_DECLARE_METATYPE(platform::BoxButtons)

namespace {

// Runs the action on the modal box as soon as it is open.
void WhenModalOpens(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        action(QApplication::activeModalWidget());
    });
}

} // namespace

class QtMessageBoxesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachKindHasItsIconTitleAndButtons_data() {
        QTest::addColumn<platform::BoxKind>("kind");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addRow("information")
            << platform::BoxKind::Information << int(QMessageBox::Information)
            << QStringLiteral("Information") << int(QMessageBox::Ok) << int(QMessageBox::Ok);
        QTest::addRow("warning") << platform::BoxKind::Warning << int(QMessageBox::Warning)
                                 << QStringLiteral("Varning") << int(QMessageBox::Ok)
                                 << int(QMessageBox::Ok);
        QTest::addRow("confirmation")
            << platform::BoxKind::Confirmation << int(QMessageBox::Question)
            << QStringLiteral("Bekräfta") << int(QMessageBox::Yes | QMessageBox::No)
            << int(QMessageBox::Yes);
        QTest::addRow("error") << platform::BoxKind::Error << int(QMessageBox::Critical)
                               << QStringLiteral("Fel") << int(QMessageBox::Ok)
                               << int(QMessageBox::Ok);
    }

    void eachKindHasItsIconTitleAndButtons() {
        QFETCH(platform::BoxKind, kind);
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        platform::BoxRequest request;
        request.kind = kind;
        request.text = "Rad ett\rRad två\r\rNytt stycke <b>inte fet</b>";
        if (kind == platform::BoxKind::Confirmation) {
            request.buttons = platform::BoxButtons::YesNo;
            request.defaultButton = platform::kBoxYes;
        }
        QMessageBox* seen = nullptr;
        int icons = -1;
        int standardButtons = -1;
        int defaults = -1;
        QString text;
        QString windowTitle;
        WhenModalOpens([&](QWidget* modal) {
            seen = qobject_cast<QMessageBox*>(modal);
            QVERIFY(seen);
            icons = seen->icon();
            standardButtons = int(seen->standardButtons());
            defaults = seen->standardButton(seen->defaultButton());
            text = seen->text();
            windowTitle = seen->windowTitle();
            QCOMPARE(seen->textFormat(), Qt::PlainText);
            QTest::keyClick(seen, Qt::Key_Return);
        });
        platform::QtMessageBoxes boxes;
        const int result = boxes.show(request);
        QVERIFY(seen);
        QCOMPARE(icons, icon);
        QCOMPARE(windowTitle, title);
        QCOMPARE(standardButtons, buttons);
        QCOMPARE(defaults, defaultButton);
        QCOMPARE(text, QStringLiteral("Rad ett\nRad två\n\nNytt stycke <b>inte fet</b>"));
        // Return presses the default button.
        QCOMPARE(result,
                 kind == platform::BoxKind::Confirmation ? platform::kBoxYes : platform::kBoxOk);
    }

    void noClosesTheConfirmationWithSeven() {
        platform::BoxRequest request;
        request.kind = platform::BoxKind::Confirmation;
        request.buttons = platform::BoxButtons::YesNo;
        request.defaultButton = platform::kBoxYes;
        request.text = "Radera?";
        WhenModalOpens([](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("&Nej"));
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        platform::QtMessageBoxes boxes;
        QCOMPARE(boxes.show(request), platform::kBoxNo);
        WhenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(boxes.show(request), platform::kBoxNo);
    }

    void thePromptReturnsTheTextOrNothing() {
        platform::QtMessageBoxes boxes;
        WhenModalOpens([](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Ny DataProvider"));
            QCOMPARE(dialog->labelText(), QStringLiteral("DataProviderns namn:"));
            auto* edit = dialog->findChild<QLineEdit*>();
            edit->setText(QStringLiteral("Lön"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(boxes.prompt({"Ny DataProvider", "DataProviderns namn:", ""}),
                 std::optional<std::string>("Lön"));
        WhenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(boxes.prompt({"Ny DataProvider", "DataProviderns namn:", ""}), std::nullopt);
    }
};

QTEST_MAIN(QtMessageBoxesTest)

#include "qt_message_boxes_test.moc"
