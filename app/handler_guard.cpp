#include "app/handler_guard.h"

#include "app/default_error_handler.h"

#include <exception>

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowApplicationError(DefaultHandlerText(error.what()));
    }
}
