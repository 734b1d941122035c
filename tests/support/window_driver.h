#pragma once

#include "app/TfrmNorlexa.h"
#include "tests/support/window_controls.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace testing_support {

// The main window under test and what a user does to it, by the controls' object names. A test
// class takes it as its second base, after QObject.
class WindowDriver {
protected:
    // A new window, shown as at the program's start; the test goes on once it is on screen.
    void openWindow();

    // The window's control of that object name; the test stops when there is none.
    template <typename T = QWidget> T* control(const char* name) {
        return FindControl<T>(window.get(), name);
    }

    void click(const char* button);
    // Replaces a field's text by typing, as a user does.
    void retype(const char* field, const QString& text);
    // Picks an entry of a drop-down list as a user does: opens it and clicks the entry.
    void pick(const char* list, int position);
    // The names the configuration list shows, in order.
    QStringList configNames();
    // The position of the service status item shown; -1 for none.
    int shownServiceItem();

    std::unique_ptr<TfrmNorlexa> window;
};

} // namespace testing_support
