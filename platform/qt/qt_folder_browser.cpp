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
    // desktop. Only folders can be chosen; the file-system flag also hides the files. The status
    // line, the edit box and the newer style are the dialog's own.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::ShowDirsOnly,
                      (request.flags & kBrowseOnlyFileSystemFolders) != 0);
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
