#pragma once

#include <QApplication>
#include <string>

// The message of an error that reached the application, ending in a full stop unless its last
// character is "." or sorts before it.
std::string DefaultHandlerText(std::string message);

// Shows an error in the application's error box, titled with the application's title.
void ShowApplicationError(const std::string& message);

// The application object. Every handler runs inside RunGuarded, so no error should reach Qt's
// event frames; one that does all the same (from code outside the window's handlers) is shown
// here as a last resort rather than ending the program.
class LumraApplication : public QApplication {
public:
    LumraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
