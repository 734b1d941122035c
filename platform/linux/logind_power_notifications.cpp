#include "platform/linux/logind_power_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <atomic>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int kInhibitTimeoutMs = 2000;
constexpr std::uint64_t kSuspend = 4;
constexpr std::uint64_t kResumeSuspend = 7;

QString NextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vemlo-power-notifications-%1").arg(++counter);
}

} // namespace

class LogindPowerNotifications::Listener : public QObject {
    Q_OBJECT

public:
    explicit Listener(const std::string& address)
        : ownConnection_(!address.empty())
        , connection_(address.empty()
                          ? QDBusConnection::systemBus()
                          : QDBusConnection::connectToBus(QString::fromStdString(address),
                                                          NextConnectionName())) {}

    ~Listener() override {
        if (ownConnection_) {
            QDBusConnection::disconnectFromBus(connection_.name());
        }
    }

    void subscribe(Handler handler) {
        handler_ = std::move(handler);
        if (!connection_.isConnected()) {
            return;
        }
        connection_.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                            SLOT(prepareForSleep(bool)));
        takeInhibitor();
    }

    bool holdsInhibitor() const { return inhibitor_.isValid(); }

private Q_SLOTS:
    void prepareForSleep(bool start) {
        if (!start) {
            takeInhibitor();
            deliver(kResumeSuspend);
            return;
        }
        // Released however the handler ends, or the computer would wait for the delay's limit.
        struct Release {
            QDBusUnixFileDescriptor& inhibitor;
            ~Release() { inhibitor = QDBusUnixFileDescriptor(); }
        } release{inhibitor_};
        deliver(kSuspend);
    }

private:
    void deliver(std::uint64_t code) {
        if (handler_) {
            handler_(code);
        }
    }

    // A login manager that refuses leaves the program without the delay: suspends still arrive.
    void takeInhibitor() {
        if (inhibitor_.isValid()) {
            return;
        }
        auto call =
            QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep") << QStringLiteral("Lumra export admin")
             << QStringLiteral("Databasanslutningar stängs före vänteläge")
             << QStringLiteral("delay");
        const auto reply = connection_.call(call, QDBus::Block, kInhibitTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            inhibitor_ = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
        }
    }

    bool ownConnection_;
    QDBusConnection connection_;
    Handler handler_;
    QDBusUnixFileDescriptor inhibitor_;
};

LogindPowerNotifications::LogindPowerNotifications(std::string busAddress)
    : listener_(std::make_unique<Listener>(busAddress)) {}

LogindPowerNotifications::~LogindPowerNotifications() = default;

void LogindPowerNotifications::subscribe(Handler handler) {
    listener_->subscribe(std::move(handler));
}

bool LogindPowerNotifications::holdsInhibitor() const {
    return listener_->holdsInhibitor();
}

} // namespace platform

#include "logind_power_notifications.moc"
