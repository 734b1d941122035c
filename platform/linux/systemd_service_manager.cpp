#include "platform/linux/systemd_service_manager.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QSysInfo>
#include <QVariantMap>
#include <algorithm>
#include <atomic>
#include <limits>
#include <map>

namespace platform {

namespace {

const QString kSystemd = QStringLiteral("org.freedesktop.systemd1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/systemd1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.systemd1.Manager");
const QString kUnitInterface = QStringLiteral("org.freedesktop.systemd1.Unit");
const QString kServiceInterface = QStringLiteral("org.freedesktop.systemd1.Service");
const QString kJobInterface = QStringLiteral("org.freedesktop.systemd1.Job");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNoSuchUnit = QStringLiteral("org.freedesktop.systemd1.NoSuchUnit");

// The wait hint while pending: about one poll a second, never a busy loop.
constexpr std::chrono::milliseconds kLongestHint{1000};
constexpr std::chrono::milliseconds kShortestHint{100};

QString NextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vemlo-service-manager-%1").arg(++counter);
}

// What one reading of the unit says.
struct UnitState {
    std::uint32_t state = 0;
    bool busy = false; // a job is queued or the state is a pending one
};

bool IsPending(std::uint32_t state) {
    return state == kServiceStartPending || state == kServiceStopPending ||
           state == kServiceContinuePending || state == kServicePausePending;
}

std::uint32_t FromFreezer(const QString& freezer) {
    if (freezer == QLatin1String("freezing")) {
        return kServicePausePending;
    }
    if (freezer == QLatin1String("frozen")) {
        return kServicePaused;
    }
    if (freezer == QLatin1String("thawing")) {
        return kServiceContinuePending;
    }
    return 0;
}

// A queued job that moves the unit out of its active state; 0 when it does not.
std::uint32_t FromJob(const QString& active, const QString& jobType) {
    const bool down = active == QLatin1String("inactive") || active == QLatin1String("failed");
    const bool up = active == QLatin1String("active") || active == QLatin1String("reloading");
    const bool stopping = jobType == QLatin1String("stop") || jobType == QLatin1String("restart");
    if (down && !jobType.isEmpty() && jobType != QLatin1String("stop")) {
        return kServiceStartPending;
    }
    if (up && stopping) {
        return kServiceStopPending;
    }
    return 0;
}

std::uint32_t FromActiveState(const QString& active) {
    static const std::map<QString, std::uint32_t> states = {
        {QStringLiteral("active"), kServiceRunning},
        {QStringLiteral("reloading"), kServiceRunning},
        {QStringLiteral("refreshing"), kServiceRunning},
        {QStringLiteral("activating"), kServiceStartPending},
        {QStringLiteral("deactivating"), kServiceStopPending},
        {QStringLiteral("inactive"), kServiceStopped},
        {QStringLiteral("failed"), kServiceStopped},
        {QStringLiteral("maintenance"), kServiceStopped},
    };
    const auto found = states.find(active);
    return found == states.end() ? 0 : found->second;
}

std::chrono::milliseconds FromMicroseconds(quint64 microseconds) {
    // systemd's "infinity" is the largest value; 0 switches the time-out off as well.
    if (microseconds == 0 || microseconds == std::numeric_limits<quint64>::max()) {
        return std::chrono::milliseconds::max();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::microseconds(static_cast<std::int64_t>(
            std::min<quint64>(microseconds, std::numeric_limits<std::int64_t>::max()))));
}

} // namespace

// The connection, made when first needed and made again after it was lost, and the open
// handles: a manager is the connection, a service the unit's object.
class SystemdServiceManager::Bus {
public:
    struct Service {
        QString unitName;
        QString path;
        std::uint32_t checkPoint = 0;
    };

    explicit Bus(std::string address)
        : address_(QString::fromStdString(address)) {}
    ~Bus() { disconnect(); }
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    bool connect() {
        if (!connection_ || !connection_->isConnected()) {
            disconnect();
            name_ = NextConnectionName();
            connection_ = std::make_unique<QDBusConnection>(
                address_.isEmpty()
                    ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, name_)
                    : QDBusConnection::connectToBus(address_, name_));
            if (!connection_->isConnected()) {
                return false;
            }
        }
        // systemd then tells this client about its units; once per connection. Without an
        // answer there is no manager to talk to.
        if (!subscribed_) {
            subscribed_ =
                call(managerCall(QStringLiteral("Subscribe"))).type() == QDBusMessage::ReplyMessage;
        }
        return subscribed_;
    }

    QDBusMessage call(const QDBusMessage& message,
                      std::chrono::milliseconds timeout = kCallTimeout) {
        if (!connection_ || !connection_->isConnected()) {
            return QDBusMessage::createError(
                QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
                QStringLiteral("no bus"));
        }
        return connection_->call(message, QDBus::Block, static_cast<int>(timeout.count()));
    }

    static QDBusMessage managerCall(const QString& method) {
        return QDBusMessage::createMethodCall(kSystemd, kManagerPath, kManagerInterface, method);
    }

    std::optional<QVariant> property(const QString& path, const QString& interface,
                                     const QString& name) {
        auto message = QDBusMessage::createMethodCall(kSystemd, path, kPropertiesInterface,
                                                      QStringLiteral("Get"));
        message << interface << name;
        const auto reply = call(message);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return std::nullopt;
        }
        return reply.arguments().constFirst().value<QDBusVariant>().variant();
    }

    // The unit's object, loading a unit that is installed but not loaded yet.
    std::optional<QString> unitPath(const QString& unitName) {
        auto message = managerCall(QStringLiteral("GetUnit"));
        message << unitName;
        auto reply = call(message);
        if (reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == kNoSuchUnit) {
            message = managerCall(QStringLiteral("LoadUnit"));
            message << unitName;
            reply = call(message);
        }
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return std::nullopt;
        }
        return reply.arguments().constFirst().value<QDBusObjectPath>().path();
    }

    std::optional<UnitState> read(const Service& service) {
        auto message = QDBusMessage::createMethodCall(kSystemd, service.path, kPropertiesInterface,
                                                      QStringLiteral("GetAll"));
        message << kUnitInterface;
        const auto reply = call(message);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return std::nullopt;
        }
        const auto properties =
            qdbus_cast<QVariantMap>(reply.arguments().constFirst().value<QDBusArgument>());
        const QString active = properties.value(QStringLiteral("ActiveState")).toString();
        uint jobId = 0;
        QDBusObjectPath jobPath;
        if (properties.contains(QStringLiteral("Job"))) {
            const auto job = properties.value(QStringLiteral("Job")).value<QDBusArgument>();
            job.beginStructure();
            job >> jobId >> jobPath;
            job.endStructure();
        }
        QString jobType;
        if (jobId != 0) {
            jobType = property(jobPath.path(), kJobInterface, QStringLiteral("JobType"))
                          .value_or(QVariant())
                          .toString();
        }
        UnitState result;
        result.state = FromFreezer(properties.value(QStringLiteral("FreezerState")).toString());
        if (result.state == 0) {
            result.state = FromJob(active, jobType);
        }
        if (result.state == 0) {
            result.state = FromActiveState(active);
        }
        if (result.state == 0) {
            return std::nullopt;
        }
        result.busy = jobId != 0 || IsPending(result.state);
        return result;
    }

    std::chrono::milliseconds timeout(const Service& service, PendingOperation operation) {
        const auto name = operation == PendingOperation::Start ? QStringLiteral("TimeoutStartUSec")
                                                               : QStringLiteral("TimeoutStopUSec");
        const auto value = property(service.path, kServiceInterface, name);
        if (!value || !value->canConvert<qulonglong>()) {
            return std::chrono::milliseconds::zero();
        }
        return FromMicroseconds(value->toULongLong());
    }

    // Queues a start or stop job; the user may be asked to authorise it.
    bool queueJob(const Service& service, const QString& method) {
        auto message = managerCall(method);
        message << service.unitName << QStringLiteral("replace");
        message.setInteractiveAuthorizationAllowed(true);
        return call(message, kAuthorisationTimeout).type() == QDBusMessage::ReplyMessage;
    }

    ServiceHandle add(std::optional<Service> service) {
        const ServiceHandle handle = next_++;
        handles_[handle] = std::move(service);
        return handle;
    }
    bool isManager(ServiceHandle handle) const {
        const auto found = handles_.find(handle);
        return found != handles_.end() && !found->second;
    }
    Service* service(ServiceHandle handle) {
        const auto found = handles_.find(handle);
        return found == handles_.end() || !found->second ? nullptr : &*found->second;
    }
    void remove(ServiceHandle handle) { handles_.erase(handle); }

private:
    void disconnect() {
        connection_.reset();
        if (!name_.isEmpty()) {
            QDBusConnection::disconnectFromBus(name_);
            name_.clear();
        }
        subscribed_ = false;
    }

    QString address_;
    QString name_;
    std::unique_ptr<QDBusConnection> connection_;
    bool subscribed_ = false;
    // A manager handle holds nothing; a service handle its unit.
    std::map<ServiceHandle, std::optional<Service>> handles_;
    ServiceHandle next_ = 1;
};

SystemdServiceManager::SystemdServiceManager(std::string busAddress)
    : bus_(std::make_unique<Bus>(std::move(busAddress))) {}

SystemdServiceManager::~SystemdServiceManager() = default;

std::optional<std::string> SystemdServiceManager::computerName(std::size_t room) {
    const auto name = QSysInfo::machineHostName().toStdString();
    if (name.empty() || name.size() + 1 > room) {
        return std::nullopt;
    }
    return name;
}

ServiceHandle SystemdServiceManager::openManager(const std::string&, std::uint32_t) {
    // Only the local manager is reachable, whatever the name.
    return bus_->connect() ? bus_->add(std::nullopt) : kNoServiceHandle;
}

ServiceHandle SystemdServiceManager::openService(ServiceHandle manager,
                                                 const std::string& serviceName, std::uint32_t) {
    // Rights are checked by the system's authorisation when a job is queued, not at opening.
    if (!bus_->isManager(manager)) {
        return kNoServiceHandle;
    }
    const QString unitName = QString::fromStdString(serviceName) + QStringLiteral(".service");
    const auto path = bus_->unitPath(unitName);
    if (!path) {
        return kNoServiceHandle;
    }
    const auto loadState = bus_->property(*path, kUnitInterface, QStringLiteral("LoadState"));
    if (!loadState || loadState->toString() == QLatin1String("not-found")) {
        return kNoServiceHandle;
    }
    return bus_->add(Bus::Service{unitName, *path, 0});
}

bool SystemdServiceManager::queryStatus(ServiceHandle handle, ServiceStatus& status) {
    auto* service = bus_->service(handle);
    if (!service) {
        return false;
    }
    const auto unit = bus_->read(*service);
    if (!unit) {
        return false;
    }
    service->checkPoint = unit->busy ? service->checkPoint + 1 : 0;
    std::uint32_t hint = 0;
    if (IsPending(unit->state)) {
        const auto timeout = unit->state == kServiceStopPending
                                 ? bus_->timeout(*service, PendingOperation::Stop)
                                 : bus_->timeout(*service, PendingOperation::Start);
        const auto clamped = timeout == std::chrono::milliseconds::zero()
                                 ? kLongestHint
                                 : std::clamp(timeout, kShortestHint, kLongestHint);
        hint = static_cast<std::uint32_t>(clamped.count());
    }
    status = {unit->state, service->checkPoint, hint};
    return true;
}

bool SystemdServiceManager::startService(ServiceHandle handle) {
    auto* service = bus_->service(handle);
    if (!service) {
        return false;
    }
    // systemd takes a start of an active unit as done; the caller expects a refusal.
    const auto unit = bus_->read(*service);
    if (!unit || unit->state != kServiceStopped) {
        return false;
    }
    return bus_->queueJob(*service, QStringLiteral("StartUnit"));
}

ControlReply SystemdServiceManager::controlService(ServiceHandle handle, std::uint32_t control) {
    auto* service = bus_->service(handle);
    if (!service || control != kServiceControlStop) {
        return {};
    }
    const auto unit = bus_->read(*service);
    if (!unit) {
        return {};
    }
    if (unit->state == kServiceStopped) {
        return {false, ServiceStatus{kServiceStopped, 0, 0}};
    }
    if (!bus_->queueJob(*service, QStringLiteral("StopUnit"))) {
        return {};
    }
    ServiceStatus status;
    if (!queryStatus(handle, status)) {
        return {true, std::nullopt};
    }
    return {true, status};
}

std::chrono::milliseconds SystemdServiceManager::pendingTimeout(ServiceHandle handle,
                                                                PendingOperation operation) {
    const auto* service = bus_->service(handle);
    return service ? bus_->timeout(*service, operation) : std::chrono::milliseconds::zero();
}

void SystemdServiceManager::closeHandle(ServiceHandle handle) {
    bus_->remove(handle);
}

} // namespace platform
