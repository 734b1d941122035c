#include "platform/qt/qt_folder_browser.h"

#include <QDir>
#include <QFileDialog>
#include <QWidget>
#include <memory>

namespace platform {

QFileDialog* BuildFolderDialog(const FolderBrowseRequest& request, QWidget* owner) {
    auto* dialog = new QFileDialog(owner, QString::fromStdString(request.title));
    dialog->setObjectName(QStringLiteral("folderBrowser"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog, so that the owner, the title and the starting folder hold on every
    // desktop; the folders-only flag is the only one that changes what can be chosen.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    const QString folder = QString::fromStdString(request.initialFolder);
    if (!folder.isEmpty() && QDir(folder).exists()) {
        dialog->setDirectory(folder);
    }
    return dialog;
}

std::optional<std::string> QtFolderBrowser::browse(const FolderBrowseRequest& request) {
    QWidget* owner = request.owner ? QWidget::find(static_cast<WId>(request.owner)) : nullptr;
    std::unique_ptr<QFileDialog> dialog(BuildFolderDialog(request, owner));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // The platform's form of the path: no trailing separator but at the root.
    return QDir::cleanPath(dialog->selectedFiles().constFirst()).toStdString();
}

} // namespace platform
