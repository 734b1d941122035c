#pragma once

#include <QApplication>
#include <string>

// The message of an error that reached the application, ending in a full stop unless its last
// character is "." or sorts before it.
std::string DefaultHandlerText(std::string message);

// Shows an error in the application's error box, titled with the application's title.
void ShowApplicationError(const std::string& message);

// The application object: an error that escapes an event handler is shown in an error box, and
// the window stays open in whatever state the handler reached.
class LumraApplication : public QApplication {
public:
    LumraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
