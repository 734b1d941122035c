#pragma once

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
    // Adds a method to the mock that owns busName; code is the mock's Python body.
    bool addMockMethod(const QString& busName, const QString& interface, const QString& method,
                       const QString& inSignature, const QString& outSignature,
                       const QString& code);
    // Ends the mocks started so far.
    void stopMocks();

private:
    bool hasOwner(const QString& busName);

    QProcess daemon_;
    QString address_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
};

} // namespace testing_support
