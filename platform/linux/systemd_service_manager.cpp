#include "platform/linux/systemd_service_manager.h"

#include "platform/linux/systemd_dbus_names.h"

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
#include <time.h>

namespace platform {

namespace {

using namespace systemd_dbus;
const QString kNoSuchUnit = QStringLiteral("org.freedesktop.systemd1.NoSuchUnit");

using std::chrono::milliseconds;

// The wait hint while pending: about one poll a second, never a busy loop.
constexpr milliseconds kLongestHint{1000};
constexpr milliseconds kShortestHint{100};

QString NextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vemlo-service-manager-%1").arg(++counter);
}

// systemd's CLOCK_MONOTONIC, which its timestamps count from.
milliseconds Monotonic() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return milliseconds(static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000);
}

// What one reading of the unit says.
struct UnitState {
    std::uint32_t state = 0;
    bool busy = false; // a job is queued or the state is a pending one
    // Ended and waiting for Restart= to start it again, later than a poll or two from now.
    bool restartsLater = false;
    // While active: which run of the unit this is, and since when it is active (0 unknown).
    QByteArray invocation;
    std::uint32_t restarts = 0;
    milliseconds activeSince{0};
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
    // One run of the unit seen active, and since when it counts as active.
    struct ActiveRun {
        QByteArray invocation;
        std::uint32_t restarts = 0;
        milliseconds since{0};
    };

    struct Service {
        QString unitName;
        QString path;
        std::uint32_t checkPoint = 0;
        // The state a start or stop request on this handle is heading for; 0 before one.
        std::uint32_t target = 0;
        std::optional<ActiveRun> run;
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
        return QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface, method);
    }

    std::optional<QVariant> property(const QString& path, const QString& interface,
                                     const QString& name) {
        auto message = QDBusMessage::createMethodCall(kService, path, kPropertiesInterface,
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
        auto message = QDBusMessage::createMethodCall(kService, service.path, kPropertiesInterface,
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
        if (jobId == 0 && properties.value(QStringLiteral("SubState")).toString() ==
                              QLatin1String("auto-restart")) {
            const auto delay =
                property(service.path, kServiceInterface, QStringLiteral("RestartUSec"));
            if (!delay) {
                return std::nullopt;
            }
            // 0 is at once here, not "never" as with the time-outs.
            const quint64 microseconds = delay->toULongLong();
            result.restartsLater =
                microseconds != 0 && FromMicroseconds(microseconds) > kLongestHint;
        }
        if (result.state == kServiceRunning && !result.busy) {
            result.invocation = properties.value(QStringLiteral("InvocationID")).toByteArray();
            result.activeSince = milliseconds(
                properties.value(QStringLiteral("ActiveEnterTimestampMonotonic")).toULongLong() /
                1000);
            const auto restarts =
                property(service.path, kServiceInterface, QStringLiteral("NRestarts"));
            if (!restarts) {
                return std::nullopt;
            }
            result.restarts = restarts->toUInt();
        }
        return result;
    }

    milliseconds timeout(const Service& service, PendingOperation operation) {
        const auto name = operation == PendingOperation::Start ? QStringLiteral("TimeoutStartUSec")
                                                               : QStringLiteral("TimeoutStopUSec");
        const auto value = property(service.path, kServiceInterface, name);
        if (!value || !value->canConvert<qulonglong>()) {
            return std::chrono::milliseconds::zero();
        }
        return FromMicroseconds(value->toULongLong());
    }

    // The status record for a reading. Pending (a job, a passing state, or an active unit that
    // has not settled yet) raises the checkpoint and asks for a pause of at least
    // kShortestHint. Settled outside the state a request on this handle aims at drops the
    // checkpoint to 0, so that the caller's wait ends at once; a drop needs a checkpoint above 0
    // first, so a job that was already over at the first look gets one more look.
    ServiceStatus translate(Service& service, const UnitState& unit) {
        std::uint32_t state = unit.state;
        // A request is over when the program ended and Restart= waits longer than a poll:
        // systemd's start limit would end a quick series of restarts, but not a slow one.
        bool pending = unit.busy && !(unit.restartsLater && service.target != 0);
        milliseconds hint{0};
        // Whether a unit that is on its way down settled does not matter.
        if (state == kServiceRunning && !pending && service.target != kServiceStopped) {
            const milliseconds left = settleLeft(service, unit);
            if (left > milliseconds::zero()) {
                state = kServiceStartPending;
                pending = true;
                hint = std::max(left, kShortestHint);
            }
        } else {
            service.run.reset();
        }
        if (pending) {
            if (hint == milliseconds::zero()) {
                hint = pendingHint(service, state);
            }
            ++service.checkPoint;
            return {state, service.checkPoint, static_cast<std::uint32_t>(hint.count())};
        }
        if (service.target != 0 && state != service.target && service.checkPoint == 0) {
            service.checkPoint = 1;
            return {state, 1, static_cast<std::uint32_t>(kShortestHint.count())};
        }
        service.checkPoint = 0;
        return {state, 0, 0};
    }

    // A request was accepted: from now on the handle's readings head for target.
    static void aimAt(Service& service, std::uint32_t target) {
        service.target = target;
        service.checkPoint = 0;
        service.run.reset();
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
    // How much longer an active unit has to stay in the same run to count as running. A run that
    // replaces one this handle saw is timed from now; otherwise systemd's own record says since
    // when the unit is active.
    static milliseconds settleLeft(Service& service, const UnitState& unit) {
        const milliseconds now = Monotonic();
        const bool sameRun = service.run && service.run->invocation == unit.invocation &&
                             service.run->restarts == unit.restarts;
        if (!sameRun) {
            const bool known = !service.run && unit.activeSince > milliseconds::zero();
            service.run = ActiveRun{unit.invocation, unit.restarts,
                                    known ? std::min(unit.activeSince, now) : now};
        }
        return service.run->since + SystemdServiceManager::kSettleTime - now;
    }

    // About a second, less when the unit's own time-out is shorter, never a busy loop.
    milliseconds pendingHint(const Service& service, std::uint32_t state) {
        const auto limit = timeout(service, state == kServiceStopPending ? PendingOperation::Stop
                                                                         : PendingOperation::Start);
        return limit == milliseconds::zero() ? kLongestHint
                                             : std::clamp(limit, kShortestHint, kLongestHint);
    }

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
    Bus::Service service;
    service.unitName = unitName;
    service.path = *path;
    return bus_->add(std::move(service));
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
    status = bus_->translate(*service, *unit);
    return true;
}

bool SystemdServiceManager::startService(ServiceHandle handle) {
    auto* service = bus_->service(handle);
    if (!service) {
        return false;
    }
    // systemd takes a start of an active unit as done; the caller expects a refusal.
    const auto unit = bus_->read(*service);
    if (!unit || bus_->translate(*service, *unit).currentState != kServiceStopped) {
        return false;
    }
    if (!bus_->queueJob(*service, QStringLiteral("StartUnit"))) {
        return false;
    }
    bus_->aimAt(*service, kServiceRunning);
    return true;
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
    bus_->aimAt(*service, kServiceStopped);
    ServiceStatus status;
    const bool read = queryStatus(handle, status);
    // The record goes with the reply; the caller's own first look still counts as the first.
    bus_->aimAt(*service, kServiceStopped);
    return {true, read ? std::optional<ServiceStatus>(status) : std::nullopt};
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
