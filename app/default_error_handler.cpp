#include "app/default_error_handler.h"

#include "toolkit/widgets/application_error.h"

#include <exception>

LumraApplication::LumraApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool LumraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        vemlo::ShowApplicationError(vemlo::DefaultHandlerText(error.what()));
    }
    return false;
}
