#pragma once

#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <memory>
#include <vector>

namespace testing_support {

// A session bus daemon of the test's own, and mock services on it (python3-dbusmock, run with
// the system interpreter it is installed for).
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }

    // Starts a mock owning busName with an object "/" of the interface; its calls are logged to
    // logFile. True once the name has an owner.
    bool startMock(const QString& busName, const QString& interface, const QString& logFile);
    // Starts python3-dbusmock's template (a template name or a .py file) on the system-bus side:
    // this daemon stands in for the system bus. True once busName has an owner.
    bool startSystemTemplate(const QString& templateName, const QString& busName,
                             const QString& logFile);
    // A call on this bus, waited for at most five seconds.
    QDBusMessage call(const QDBusMessage& message);
    // Adds a method to the mock that owns busName; code is the mock's Python body.
    bool addMockMethod(const QString& busName, const QString& interface, const QString& method,
                       const QString& inSignature, const QString& outSignature,
                       const QString& code);
    // Ends the mocks started so far.
    void stopMocks();

private:
    bool hasOwner(const QString& busName);
    bool launchMock(const QStringList& arguments, const QString& busName);

    QProcess daemon_;
    QString address_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
};

} // namespace testing_support
