#include "tests/support/private_session_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>

namespace testing_support {

namespace {

const QString kConnectionName = QStringLiteral("private-session-bus-fixture");

} // namespace

PrivateSessionBus::PrivateSessionBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(5000)) {
        return;
    }
    QDeadlineTimer deadline(5000);
    while (!daemon_.canReadLine() && !deadline.hasExpired()) {
        daemon_.waitForReadyRead(100);
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (!address_.isEmpty()) {
        QDBusConnection::connectToBus(address_, kConnectionName);
    }
}

PrivateSessionBus::~PrivateSessionBus() {
    stopMocks();
    QDBusConnection::disconnectFromBus(kConnectionName);
    daemon_.terminate();
    daemon_.waitForFinished(3000);
}

bool PrivateSessionBus::hasOwner(const QString& busName) {
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    call << busName;
    const auto reply = QDBusConnection(kConnectionName).call(call, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toBool();
}

bool PrivateSessionBus::startMock(const QString& busName, const QString& interface,
                                  const QString& logFile) {
    return launchMock({QStringLiteral("--session"), QStringLiteral("-l"), logFile, busName,
                       QStringLiteral("/"), interface},
                      busName);
}

bool PrivateSessionBus::startSystemTemplate(const QString& templateName, const QString& busName,
                                            const QString& logFile) {
    return launchMock({QStringLiteral("--system"), QStringLiteral("--template"), templateName,
                       QStringLiteral("-l"), logFile},
                      busName);
}

bool PrivateSessionBus::launchMock(const QStringList& arguments, const QString& busName) {
    auto mock = std::make_unique<QProcess>();
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address_);
    mock->setProcessEnvironment(environment);
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock->start(QStringLiteral("/usr/bin/python3"),
                QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + arguments);
    if (!mock->waitForStarted(5000)) {
        return false;
    }
    mocks_.push_back(std::move(mock));
    QDeadlineTimer deadline(10000);
    while (!hasOwner(busName)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

QDBusMessage PrivateSessionBus::call(const QDBusMessage& message) {
    return QDBusConnection(kConnectionName).call(message, QDBus::Block, 5000);
}

bool PrivateSessionBus::addMockMethod(const QString& busName, const QString& interface,
                                      const QString& method, const QString& inSignature,
                                      const QString& outSignature, const QString& code) {
    auto call = QDBusMessage::createMethodCall(busName, QStringLiteral("/"),
                                               QStringLiteral("org.freedesktop.DBus.Mock"),
                                               QStringLiteral("AddMethod"));
    call << interface << method << inSignature << outSignature << code;
    return this->call(call).type() == QDBusMessage::ReplyMessage;
}

void PrivateSessionBus::stopMocks() {
    for (auto& mock : mocks_) {
        mock->terminate();
        if (!mock->waitForFinished(3000)) {
            mock->kill();
            mock->waitForFinished(3000);
        }
    }
    mocks_.clear();
}

} // namespace testing_support
