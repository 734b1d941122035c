#include "platform/linux/dbus_window_messages.h"

#include "platform/registered_messages.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <atomic>

namespace platform {

namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kWindowInterface = QStringLiteral("org.vemlo.WindowMessages");

QString NextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vemlo-window-messages-%1").arg(++counter);
}

} // namespace

// The connection is made when first needed, so a program without a bus pays nothing at start.
class DBusWindowMessages::Bus {
public:
    explicit Bus(std::string address)
        : address_(std::move(address)) {}
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;
    ~Bus() {
        if (!name_.isEmpty()) {
            QDBusConnection::disconnectFromBus(name_);
        }
    }

    QDBusConnection& connection() {
        if (!connection_) {
            if (address_.empty()) {
                connection_ = std::make_unique<QDBusConnection>(QDBusConnection::sessionBus());
            } else {
                name_ = NextConnectionName();
                connection_ = std::make_unique<QDBusConnection>(
                    QDBusConnection::connectToBus(QString::fromStdString(address_), name_));
            }
        }
        return *connection_;
    }

private:
    std::string address_;
    QString name_;
    std::unique_ptr<QDBusConnection> connection_;
};

DBusWindowMessages::DBusWindowMessages(std::string busAddress, std::chrono::milliseconds timeout)
    : bus_(std::make_unique<Bus>(std::move(busAddress)))
    , timeout_(timeout) {}

DBusWindowMessages::~DBusWindowMessages() = default;

std::uint16_t DBusWindowMessages::registerWindowMessage(const std::string& name) {
    return RegisteredMessageId(name);
}

WindowRef DBusWindowMessages::findWindow(const std::string& windowClass) {
    auto& connection = bus_->connection();
    if (!connection.isConnected()) {
        return {};
    }
    auto call = QDBusMessage::createMethodCall(kBusService, QStringLiteral("/org/freedesktop/DBus"),
                                               kBusService, QStringLiteral("GetNameOwner"));
    call << QStringLiteral("org.vemlo.") + QString::fromStdString(windowClass);
    const auto reply = connection.call(call, QDBus::Block, static_cast<int>(timeout_.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst().toString().toStdString();
}

std::int64_t DBusWindowMessages::sendMessage(const WindowRef& window, std::uint32_t message,
                                             std::uint64_t wParam, std::int64_t lParam) {
    auto& connection = bus_->connection();
    if (window.empty() || !connection.isConnected()) {
        return 0;
    }
    auto call = QDBusMessage::createMethodCall(QString::fromStdString(window), QStringLiteral("/"),
                                               kWindowInterface, QStringLiteral("SendMessage"));
    call << static_cast<uint>(message) << static_cast<qulonglong>(wParam)
         << static_cast<qlonglong>(lParam);
    // Bounded: a progress application that does not answer must not hold up the box for ever.
    const auto reply = connection.call(call, QDBus::Block, static_cast<int>(timeout_.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return 0;
    }
    return reply.arguments().constFirst().toLongLong();
}

std::uint64_t DBusWindowMessages::applicationWindow() {
    return static_cast<std::uint64_t>(QCoreApplication::applicationPid());
}

} // namespace platform
