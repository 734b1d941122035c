#include "platform/qt/process_shell_opener.h"

#include <QDir>
#include <QProcess>
#include <QString>

namespace platform {

ProcessShellOpener::ProcessShellOpener(std::string dataLinkEditor)
    : dataLinkEditor_(std::move(dataLinkEditor)) {}

bool ProcessShellOpener::open(const std::string& file, const std::string& workingFolder) {
    const auto folder = QString::fromStdString(workingFolder);
    // Absolute, so that a name beginning with "-" is never taken for an option.
    const auto path = QDir(folder).absoluteFilePath(QString::fromStdString(file));
    const bool dataLink = path.endsWith(QStringLiteral(".udl"), Qt::CaseInsensitive);
    const auto program =
        dataLink ? QString::fromStdString(dataLinkEditor_) : QStringLiteral("xdg-open");
    return QProcess::startDetached(program, {path}, folder);
}

} // namespace platform
