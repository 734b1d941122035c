#include "toolkit/widgets/application_error.h"

#include "platform/message_boxes.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/toolkit_platform.h"

#include <QCoreApplication>

namespace vemlo {

std::string DefaultHandlerText(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        message += '.';
    }
    return message;
}

void ShowApplicationError(const std::string& message) {
    platform::BoxRequest request;
    request.kind = platform::BoxKind::Error;
    request.title = QCoreApplication::applicationName().toStdString();
    request.text = message;
    DeactivateProgressApp();
    MessageBoxes().show(request);
}

} // namespace vemlo
