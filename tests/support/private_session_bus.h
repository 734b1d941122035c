#pragma once

#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <memory>
#include <vector>

namespace testing_support {

// Which bus the daemon stands in for: the mocks on it, and the code under test, take it for the
// session bus or for the system bus.
enum class BusRole { Session, System };

// A bus daemon of the test's own, and mock services on it (python3-dbusmock, run with the system
// interpreter it is installed for). The daemon runs with the session configuration in either
// role, so that no privileges are needed.
class PrivateSessionBus {
public:
    explicit PrivateSessionBus(BusRole role = BusRole::Session);
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    const QString& address() const { return address_; }

    // Starts a mock owning busName with an object "/" of the interface; its calls are logged to
    // logFile. True once the name has an owner.
    bool startMock(const QString& busName, const QString& interface, const QString& logFile);
    // Starts one of python3-dbusmock's templates, which owns busName once it is up.
    bool startTemplate(const QString& templateName, const QString& busName, const QString& logFile);
    // Has the mock that owns busName emit a signal from the object at path; args match signature.
    bool emitMockSignal(const QString& busName, const QString& path, const QString& interface,
                        const QString& name, const QString& signature, const QVariantList& args);
    // Calls a method and returns its reply's arguments; empty when the call failed.
    QVariantList call(const QString& busName, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& args = {});
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
    bool startPython(const QStringList& arguments, const QString& busName);

    BusRole role_;
    QString connectionName_;
    QProcess daemon_;
    QString address_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
};

} // namespace testing_support
