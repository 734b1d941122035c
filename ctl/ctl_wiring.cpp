#include "ctl/ctl_wiring.h"

#include "ctl/ctl_command.h"
#include "platform/console/console_message_boxes.h"
#include "platform/console/no_window_messages.h"
#include "toolkit/toolkit_platform.h"

#include <iostream>

int RunCtlOn(const CtlBackends& backends, const std::vector<std::string>& args,
             const ServiceSession& session) {
    platform::ConsoleMessageBoxes boxes("lumra-export-ctl", std::cerr);
    platform::NoWindowMessages windows;
    vemlo::UseToolkitPlatform({.settingsStore = backends.settingsStore,
                               .messageBoxes = &boxes,
                               .windowMessages = &windows,
                               .clock = backends.clock,
                               .fileSystem = backends.fileSystem,
                               .serviceManager = backends.serviceManager,
                               .regionalSettings = backends.regionalSettings,
                               .networkNames = backends.networkNames});
    const int code = RunCtlCommand(args, std::cout, std::cerr, session);
    vemlo::UseToolkitPlatform({});
    return code;
}
