#pragma once

#include "platform/folder_browser.h"

class QFileDialog;
class QWidget;

namespace platform {

// The dialog a request asks for, folders only, not yet shown.
QFileDialog* BuildFolderDialog(const FolderBrowseRequest& request, QWidget* owner);

// The folder chooser drawn with Qt Widgets, modal over its owner.
class QtFolderBrowser final : public FolderBrowser {
public:
    std::optional<std::string> browse(const FolderBrowseRequest& request) override;
};

} // namespace platform
