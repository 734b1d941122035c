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
    auto mock = std::make_unique<QProcess>();
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    mock->setProcessEnvironment(environment);
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock->start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"),
                 QStringLiteral("-l"), logFile, busName, QStringLiteral("/"), interface});
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

bool PrivateSessionBus::addMockMethod(const QString& busName, const QString& interface,
                                      const QString& method, const QString& inSignature,
                                      const QString& outSignature, const QString& code) {
    auto call = QDBusMessage::createMethodCall(busName, QStringLiteral("/"),
                                               QStringLiteral("org.freedesktop.DBus.Mock"),
                                               QStringLiteral("AddMethod"));
    call << interface << method << inSignature << outSignature << code;
    const auto reply = QDBusConnection(kConnectionName).call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
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
