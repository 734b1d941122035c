#pragma once

#include "platform/message_boxes.h"

#include <memory>

class QMessageBox;
class QString;
class QWidget;

namespace platform {

// The box's text with each carriage return as a line break (two make a paragraph).
QString BoxText(const std::string& text);
// The box a request asks for, with the standard icon and Swedish title of its kind.
std::unique_ptr<QMessageBox> BuildMessageBox(const BoxRequest& request, QWidget* parent);
// The dialog result code of a standard button of such a box.
int BoxResult(int standardButton);

// Modal boxes and the text prompt drawn with Qt Widgets, over the active window.
class QtMessageBoxes final : public MessageBoxes {
public:
    int show(const BoxRequest& request) override;
    std::optional<std::string> prompt(const PromptRequest& request) override;
};

} // namespace platform
