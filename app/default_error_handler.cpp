#include "app/default_error_handler.h"

#include "platform/message_boxes.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/toolkit_platform.h"

#include <exception>

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
    vemlo::DeactivateProgressApp();
    vemlo::MessageBoxes().show(request);
}

LumraApplication::LumraApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool LumraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowApplicationError(DefaultHandlerText(error.what()));
    }
    return false;
}
