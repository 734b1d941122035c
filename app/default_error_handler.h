#pragma once

#include <QApplication>

// The application object. Every handler runs inside vemlo::RunGuarded, so no error should reach
// Qt's event frames; one that does all the same (from code outside the window's handlers) is shown
// here as a last resort rather than ending the program.
class LumraApplication : public QApplication {
public:
    LumraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
