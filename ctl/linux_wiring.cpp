#include "ctl/linux_wiring.h"

#include "ctl/ctl_wiring.h"
#include "ctl/tty_agent.h"
#include "platform/linux/hive_paths.h"
#include "platform/linux/mountinfo_network_names.h"
#include "platform/linux/posix_regional_settings.h"
#include "platform/linux/sqlite_settings_store.h"
#include "platform/linux/std_file_system.h"
#include "platform/linux/systemd_service_manager.h"
#include "platform/system_clock.h"

#include <QCoreApplication>
#include <iostream>
#include <unistd.h>

namespace {

// As systemctl: a user (not root) on a terminal is asked for authorisation there; without a
// terminal nobody can be, and a refusal says so.
ServiceSession SessionOfCaller() {
    ServiceSession session;
    if (::geteuid() == 0) {
        return session;
    }
    if (::isatty(STDIN_FILENO) != 1) {
        session.noPromptNote = "no terminal to ask for authorisation on: run the command on a "
                               "terminal, or as a user that may manage the service";
        return session;
    }
    session.authorised = [](const std::function<bool()>& request) {
        const TtyAgent agent;
        if (!agent.problem().empty()) {
            std::cerr << "lumra-export-ctl: " << agent.problem() << "\n";
        }
        return request();
    };
    return session;
}

} // namespace

int RunCtlOnLinux(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The bus connection wants an application object; it loads no display library.
    QCoreApplication application(argc, argv);
    platform::SqliteSettingsStore store(platform::UserHivePath(), platform::MachineHivePath());
    platform::SystemClock clock;
    platform::StdFileSystem files(args);
    platform::SystemdServiceManager services;
    platform::PosixRegionalSettings regional;
    platform::MountInfoNetworkNames networkNames;
    return RunCtlOn({.settingsStore = &store,
                     .clock = &clock,
                     .fileSystem = &files,
                     .serviceManager = &services,
                     .regionalSettings = &regional,
                     .networkNames = &networkNames},
                    args, SessionOfCaller());
}
