#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

struct KindLook {
    QMessageBox::Icon icon;
    const char* title;
};

KindLook LookOf(BoxKind kind) {
    switch (kind) {
    case BoxKind::Warning:
        return {QMessageBox::Warning, "Varning"};
    case BoxKind::Confirmation:
        return {QMessageBox::Question, "Bekräfta"};
    case BoxKind::Error:
        return {QMessageBox::Critical, "Fel"};
    case BoxKind::Information:
        break;
    }
    return {QMessageBox::Information, "Information"};
}

} // namespace

QString BoxText(const std::string& text) {
    auto shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int BoxResult(int standardButton) {
    switch (standardButton) {
    case QMessageBox::Yes:
        return kBoxYes;
    case QMessageBox::No:
        return kBoxNo;
    default:
        return kBoxOk;
    }
}

std::unique_ptr<QMessageBox> BuildMessageBox(const BoxRequest& request, QWidget* parent) {
    const auto look = LookOf(request.kind);
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(look.icon);
    box->setWindowTitle(request.title.empty() ? QString::fromUtf8(look.title)
                                              : QString::fromStdString(request.title));
    // Plain text: a message that quotes a file name or a database error is never markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(BoxText(request.text));
    if (request.buttons == BoxButtons::YesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
        box->button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
        box->setDefaultButton(request.defaultButton == kBoxNo ? QMessageBox::No : QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    return box;
}

int QtMessageBoxes::show(const BoxRequest& request) {
    auto box = BuildMessageBox(request, QApplication::activeWindow());
    return BoxResult(box->exec());
}

std::optional<std::string> QtMessageBoxes::prompt(const PromptRequest& request) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(QString::fromStdString(request.caption));
    dialog.setLabelText(QString::fromStdString(request.label));
    dialog.setTextValue(QString::fromStdString(request.text));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Avbryt"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue().toStdString();
}

} // namespace platform
