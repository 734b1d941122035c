#pragma once

#include "tests/support/toolkit_fixture.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <chrono>
#include <string>
#include <sys/types.h>

namespace testing_support {

// Debian's own systemd as PID 1 of PID, mount, UTS, IPC, network and cgroup namespaces of its
// own (tests/support/systemd_in_namespaces.sh), with its real system bus and polkit, reached
// through a second socket of its dbus.socket in the fixture's folder. The units are the
// fixture's own: stub targets, Debian's dbus.service and polkit.service, and what a test
// installs. Users exist only inside: root, a user without rights and a member of the polkit
// rule's group.
//
// It runs until the fixture ends or the test program dies (the launcher waits on a pipe that
// the kernel closes then), and takes its cgroup folder with it.
// Kills every process in a cgroup folder and removes it with its subfolders.
void RemoveCgroup(const std::filesystem::path& cgroup);

class RealSystemd {
public:
    static constexpr uid_t kUserWithoutRights = 4001;
    static constexpr uid_t kServiceAdministrator = 4002;
    static constexpr std::chrono::seconds kStartBound{20};

    // launcher: the path of systemd_in_namespaces.sh; rules: the polkit rule to install.
    RealSystemd(const std::string& launcher, const std::string& rules);
    ~RealSystemd();
    RealSystemd(const RealSystemd&) = delete;
    RealSystemd& operator=(const RealSystemd&) = delete;

    // Why the namespaces cannot be made on this machine; empty when they can.
    const QString& skipReason() const { return skipReason_; }
    // Why systemd did not come up although the namespaces could be made; empty when it runs.
    const QString& failure() const { return failure_; }

    QString address() const;
    const std::filesystem::path& folder() const { return folder_.path(); }
    // The cgroup folder that holds systemd and everything it runs.
    const std::string& cgroup() const { return cgroup_; }
    // systemd's own output, for a failure's message.
    std::string log() const;

    // Writes the unit and has systemd read its units again; the unit's failed state and its
    // start limit are reset.
    bool installUnit(const std::string& name, const std::string& text);
    bool removeUnit(const std::string& name);
    // Stops the unit and waits until it is inactive or failed, at most ten seconds.
    bool stopUnit(const std::string& name);
    // A call to systemd's manager as root, bounded to five seconds.
    QDBusMessage callManager(const QString& method, const QVariantList& arguments);
    // The unit's ActiveState as systemd says it.
    QString activeState(const std::string& name);

private:
    bool makeFolder(const std::string& rules);
    bool start(const std::string& launcher);
    bool waitUntilRunning();
    void stop();

    TempFolder folder_;
    QString skipReason_;
    QString failure_;
    std::string cgroup_;
    pid_t launcher_ = -1;
    int pipe_ = -1;
    QString connectionName_;
};

} // namespace testing_support
