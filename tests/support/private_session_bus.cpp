#include "tests/support/private_session_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <atomic>

namespace testing_support {

namespace {

QString NextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("private-bus-fixture-%1").arg(++counter);
}

} // namespace

PrivateSessionBus::PrivateSessionBus(BusRole role)
    : role_(role)
    , connectionName_(NextConnectionName()) {
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
        QDBusConnection::connectToBus(address_, connectionName_);
    }
}

PrivateSessionBus::~PrivateSessionBus() {
    stopMocks();
    QDBusConnection::disconnectFromBus(connectionName_);
    daemon_.terminate();
    daemon_.waitForFinished(3000);
}

bool PrivateSessionBus::hasOwner(const QString& busName) {
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    call << busName;
    const auto reply = QDBusConnection(connectionName_).call(call, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toBool();
}

bool PrivateSessionBus::startPython(const QStringList& arguments, const QString& busName) {
    auto mock = std::make_unique<QProcess>();
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(role_ == BusRole::System ? QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS")
                                                : QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       address_);
    mock->setProcessEnvironment(environment);
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock->start(QStringLiteral("/usr/bin/python3"),
                QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock"),
                            role_ == BusRole::System ? QStringLiteral("--system")
                                                     : QStringLiteral("--session")} +
                    arguments);
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

bool PrivateSessionBus::startMock(const QString& busName, const QString& interface,
                                  const QString& logFile) {
    return startPython({QStringLiteral("-l"), logFile, busName, QStringLiteral("/"), interface},
                       busName);
}

bool PrivateSessionBus::startTemplate(const QString& templateName, const QString& busName,
                                      const QString& logFile) {
    return startPython({QStringLiteral("-l"), logFile, QStringLiteral("-t"), templateName},
                       busName);
}

bool PrivateSessionBus::emitMockSignal(const QString& busName, const QString& path,
                                       const QString& interface, const QString& name,
                                       const QString& signature, const QVariantList& args) {
    QVariantList wrapped;
    for (const auto& arg : args) {
        wrapped << QVariant::fromValue(QDBusVariant(arg));
    }
    auto call = QDBusMessage::createMethodCall(
        busName, path, QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
    call << interface << name << signature << QVariant::fromValue(wrapped);
    return this->call(call).type() == QDBusMessage::ReplyMessage;
}

QVariantList PrivateSessionBus::call(const QString& busName, const QString& path,
                                     const QString& interface, const QString& method,
                                     const QVariantList& args) {
    auto message = QDBusMessage::createMethodCall(busName, path, interface, method);
    message.setArguments(args);
    const auto reply = call(message);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments() : QVariantList{};
}

QDBusMessage PrivateSessionBus::call(const QDBusMessage& message) {
    return QDBusConnection(connectionName_).call(message, QDBus::Block, 5000);
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
