#include "ctl/ctl_wiring.h"

#include "ctl/ctl_command.h"
#include "platform/console/console_message_boxes.h"
#include "platform/console/no_window_messages.h"

#include <iostream>

int RunCtlOn(vemlo::ToolkitPlatform backends, const std::vector<std::string>& args,
             const ServiceSession& session) {
    platform::ConsoleMessageBoxes boxes("lumra-export-ctl", std::cerr);
    platform::NoWindowMessages windows;
    backends.messageBoxes = &boxes;
    backends.windowMessages = &windows;
    vemlo::UseToolkitPlatform(backends);
    const int code = RunCtlCommand(args, std::cout, std::cerr, session);
    vemlo::UseToolkitPlatform({});
    return code;
}
