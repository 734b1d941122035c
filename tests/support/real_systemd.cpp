#include "tests/support/real_systemd.h"

#include "platform/linux/systemd_dbus_names.h"

#include <QDBusVariant>
#include <QProcess>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

using namespace platform::systemd_dbus;
constexpr int kCallTimeout = 5000;

const char* const kPasswd = "root:x:0:0:root:/root:/bin/sh\n"
                            "messagebus:x:100:102::/nonexistent:/usr/sbin/nologin\n"
                            "polkitd:x:996:996:polkit:/nonexistent:/usr/sbin/nologin\n"
                            "kassor:x:4001:4001::/nonexistent:/usr/sbin/nologin\n"
                            "admin:x:4002:4002::/nonexistent:/usr/sbin/nologin\n";
const char* const kGroup = "root:x:0:\n"
                           "messagebus:x:102:\n"
                           "polkitd:x:996:\n"
                           "kassor:x:4001:\n"
                           "admin:x:4002:\n"
                           "vemlo-admin:x:4003:admin\n";

// The targets the fixture's own target and Debian's units refer to, with nothing in them.
const char* const kStubTargets[] = {"sysinit",    "basic",   "sockets",       "shutdown",
                                    "multi-user", "network", "network-online"};

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The cgroup2 hierarchy's mount point: /sys/fs/cgroup on a unified machine, often
// /sys/fs/cgroup/unified on a hybrid one; empty without one.
std::string Cgroup2Mount() {
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        const auto dash = line.find(" - ");
        if (dash == std::string::npos || line.compare(dash + 3, 8, "cgroup2 ") != 0) {
            continue;
        }
        std::istringstream fields(line.substr(0, dash));
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
        }
        return field;
    }
    return {};
}

// The test's own cgroup in that hierarchy, as "/path".
std::string OwnCgroup() {
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        if (line.rfind("0::", 0) == 0) {
            return line.substr(3);
        }
    }
    return "/";
}

// Removes what earlier test programs that were killed outright (SIGKILL to the whole process
// tree, as a harness's time-out does) left in parent: their launcher died with them.
void RemoveOrphanedCgroups(const std::string& parent) {
    const std::string prefix = "vemlo-systemd-";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(parent, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const std::string owner =
            name.substr(prefix.size(), name.find('-', prefix.size()) - prefix.size());
        if (!owner.empty() && owner.find_first_not_of("0123456789") == std::string::npos &&
            ::kill(static_cast<pid_t>(std::stol(owner)), 0) != 0 && errno == ESRCH) {
            RemoveCgroup(entry.path());
        }
    }
}

} // namespace

void RemoveCgroup(const std::filesystem::path& cgroup) {
    Write(cgroup / "cgroup.kill", "1");
    for (int tries = 0;
         tries < 100 && ReadFileBytes((cgroup / "cgroup.events").string()).find("populated 1") !=
                            std::string::npos;
         ++tries) {
        QThread::msleep(20);
    }
    std::error_code error;
    std::vector<std::filesystem::path> folders;
    for (auto it = std::filesystem::recursive_directory_iterator(cgroup, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error)) {
            folders.push_back(it->path());
        }
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        ::rmdir(it->c_str());
    }
    ::rmdir(cgroup.c_str());
}

RealSystemd::RealSystemd(const std::string& launcher, const std::string& rules) {
    connectionName_ = QStringLiteral("real-systemd-%1").arg(::getpid());
    if (::geteuid() != 0) {
        skipReason_ = QStringLiteral("a real systemd needs root to make its namespaces");
        return;
    }
    QProcess probe;
    probe.start(QStringLiteral("unshare"),
                {QStringLiteral("--pid"), QStringLiteral("--fork"), QStringLiteral("--mount-proc"),
                 QStringLiteral("--mount"), QStringLiteral("--uts"), QStringLiteral("--ipc"),
                 QStringLiteral("--net"), QStringLiteral("--cgroup"),
                 QStringLiteral("--propagation"), QStringLiteral("private"),
                 QStringLiteral("true")});
    if (!probe.waitForFinished(10'000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0) {
        probe.kill();
        probe.waitForFinished(1000);
        skipReason_ = QStringLiteral("unshare cannot make PID, mount, UTS, IPC, network and "
                                     "cgroup namespaces here: ") +
                      QString::fromLocal8Bit(probe.readAllStandardError()).trimmed();
        return;
    }
    const std::string mount = Cgroup2Mount();
    if (mount.empty()) {
        skipReason_ = QStringLiteral("no cgroup2 hierarchy is mounted");
        return;
    }
    std::string own = OwnCgroup();
    if (own.empty() || own.back() != '/') {
        own += '/';
    }
    RemoveOrphanedCgroups(mount + own);
    const std::string cgroup = mount + own + "vemlo-systemd-" + std::to_string(::getpid()) + "-" +
                               folder_.path().filename().string();
    if (::mkdir(cgroup.c_str(), 0755) != 0) {
        skipReason_ =
            QStringLiteral("cannot make a cgroup folder %1: %2")
                .arg(QString::fromStdString(cgroup), QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    cgroup_ = cgroup;
    if (!makeFolder(rules) || !start(launcher) || !waitUntilRunning()) {
        stop();
    }
}

RealSystemd::~RealSystemd() {
    stop();
}

bool RealSystemd::makeFolder(const std::string& rules) {
    const auto& root = folder_.path();
    std::error_code error;
    // The users inside reach the bus socket through it.
    std::filesystem::permissions(
        root,
        std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
            std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
            std::filesystem::perms::others_exec,
        std::filesystem::perm_options::replace, error);
    for (const char* sub : {"units", "generators", "bus", "polkit-rules"}) {
        std::filesystem::create_directory(root / sub, error);
    }
    Write(root / "passwd", kPasswd);
    Write(root / "group", kGroup);
    Write(root / "console.log", "");
    std::filesystem::copy_file(rules, root / "polkit-rules" / "50-vemlo-lumra-export.rules", error);
    if (error) {
        failure_ = QStringLiteral("cannot copy the polkit rule: ") +
                   QString::fromStdString(error.message());
        return false;
    }
    const auto units = root / "units";
    for (const char* target : kStubTargets) {
        Write(units / (std::string(target) + ".target"),
              "[Unit]\nDescription=" + std::string(target) + " (a stub of the tests)\n");
    }
    Write(units / "vemlo-test.target",
          "[Unit]\nDescription=What the tests need\n"
          "Wants=dbus.socket dbus.service polkit.service\nAfter=dbus.service polkit.service\n");
    Write(units / "dbus.socket", "[Unit]\nDescription=D-Bus System Message Bus Socket\n"
                                 "[Socket]\nListenStream=/run/dbus/system_bus_socket\n"
                                 "ListenStream=" +
                                     (root / "bus" / "system_bus_socket").string() + "\n");
    for (const char* unit : {"dbus.service", "polkit.service"}) {
        std::filesystem::create_symlink(std::filesystem::path("/lib/systemd/system") / unit,
                                        units / unit, error);
    }
    return true;
}

bool RealSystemd::start(const std::string& launcher) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        failure_ = QStringLiteral("no pipe");
        return false;
    }
    const std::string folder = folder_.path().string();
    const std::string log = (folder_.path() / "launcher.log").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe between fork and exec in a program with threads.
        ::dup2(fds[0], STDIN_FILENO);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
        }
        ::execl("/bin/sh", "sh", launcher.c_str(), folder.c_str(), cgroup_.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[0]);
    if (pid < 0) {
        ::close(fds[1]);
        failure_ = QStringLiteral("cannot fork");
        return false;
    }
    launcher_ = pid;
    pipe_ = fds[1];
    return true;
}

bool RealSystemd::waitUntilRunning() {
    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    const auto socket = folder_.path() / "bus" / "system_bus_socket";
    QString state;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(launcher_, nullptr, WNOHANG) == launcher_) {
            launcher_ = -1;
            failure_ = QStringLiteral("the launcher ended: ") +
                       QString::fromStdString(ReadFileBytes((folder_.path() / "launcher.log")));
            return false;
        }
        if (std::filesystem::exists(socket)) {
            auto message = QDBusMessage::createMethodCall(
                kService, kManagerPath, kPropertiesInterface, QStringLiteral("Get"));
            message << kManagerInterface << QStringLiteral("SystemState");
            QDBusConnection::disconnectFromBus(connectionName_);
            const auto reply = QDBusConnection::connectToBus(address(), connectionName_)
                                   .call(message, QDBus::Block, 1000);
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                state = reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
                if (state == QLatin1String("running")) {
                    return true;
                }
                if (state == QLatin1String("degraded")) {
                    break;
                }
            }
        }
        QThread::msleep(50);
    }
    failure_ = QStringLiteral("systemd did not reach \"running\" in %1 s (state \"%2\"): %3")
                   .arg(kStartBound.count())
                   .arg(state, QString::fromStdString(log()));
    return false;
}

void RealSystemd::stop() {
    QDBusConnection::disconnectFromBus(connectionName_);
    if (pipe_ >= 0) {
        // The launcher's cue: it kills the cgroup and removes its folder.
        ::close(pipe_);
        pipe_ = -1;
    }
    if (launcher_ > 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::waitpid(launcher_, nullptr, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(launcher_, SIGKILL);
                ::waitpid(launcher_, nullptr, 0);
                break;
            }
            QThread::msleep(20);
        }
        launcher_ = -1;
    }
    if (!cgroup_.empty() && std::filesystem::exists(cgroup_)) {
        // The launcher did not get to it.
        RemoveCgroup(cgroup_);
    }
    cgroup_.clear();
}

QString RealSystemd::address() const {
    return QStringLiteral("unix:path=") +
           QString::fromStdString((folder_.path() / "bus" / "system_bus_socket").string());
}

std::string RealSystemd::log() const {
    return ReadFileBytes((folder_.path() / "console.log").string());
}

QDBusMessage RealSystemd::callManager(const QString& method, const QVariantList& arguments) {
    auto message =
        QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface, method);
    message.setArguments(arguments);
    return QDBusConnection::connectToBus(address(), connectionName_)
        .call(message, QDBus::Block, kCallTimeout);
}

bool RealSystemd::stopUnit(const std::string& name) {
    callManager(QStringLiteral("StopUnit"),
                {QString::fromStdString(name), QStringLiteral("replace")});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const QString state = activeState(name);
        if (state == QLatin1String("inactive") || state == QLatin1String("failed")) {
            return true;
        }
        QThread::msleep(20);
    }
    return false;
}

bool RealSystemd::installUnit(const std::string& name, const std::string& text) {
    const QString unit = QString::fromStdString(name);
    if (!stopUnit(name)) {
        return false;
    }
    Write(folder_.path() / "units" / name, text);
    if (callManager(QStringLiteral("Reload"), {}).type() != QDBusMessage::ReplyMessage) {
        return false;
    }
    // Gone already when it never failed: that is fine.
    callManager(QStringLiteral("ResetFailedUnit"), {unit});
    return true;
}

bool RealSystemd::removeUnit(const std::string& name) {
    if (!stopUnit(name)) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove(folder_.path() / "units" / name, error);
    return callManager(QStringLiteral("Reload"), {}).type() == QDBusMessage::ReplyMessage;
}

QString RealSystemd::activeState(const std::string& name) {
    const auto unit = callManager(QStringLiteral("LoadUnit"), {QString::fromStdString(name)});
    if (unit.type() != QDBusMessage::ReplyMessage || unit.arguments().isEmpty()) {
        return {};
    }
    auto message = QDBusMessage::createMethodCall(
        kService, unit.arguments().constFirst().value<QDBusObjectPath>().path(),
        kPropertiesInterface, QStringLiteral("Get"));
    message << QStringLiteral("org.freedesktop.systemd1.Unit") << QStringLiteral("ActiveState");
    const auto reply = QDBusConnection::connectToBus(address(), connectionName_)
                           .call(message, QDBus::Block, kCallTimeout);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
}

} // namespace testing_support
