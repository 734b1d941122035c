#include "ctl/windows_wiring.h"

#include "ctl/ctl_command.h"
#include "platform/console/console_message_boxes.h"
#include "platform/console/no_window_messages.h"
#include "platform/system_clock.h"
#include "platform/windows/registry_settings_store.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_file_system.h"
#include "platform/windows/windows_network_names.h"
#include "platform/windows/windows_regional_settings.h"
#include "platform/windows/windows_service_manager.h"
#include "toolkit/toolkit_platform.h"

#include <io.h>
#include <iostream>
#include <windows.h>

int RunCtlOnWindows() {
    // Names and values are UTF-8 in and out, whatever the console's code page.
    SetConsoleOutputCP(CP_UTF8);
    const auto args = platform::Utf8Arguments();
    platform::RegistrySettingsStore store;
    platform::ConsoleMessageBoxes boxes("lumra-export-ctl", std::cerr);
    platform::NoWindowMessages windows;
    platform::SystemClock clock;
    platform::WindowsFileSystem files(args);
    platform::WindowsServiceManager services;
    platform::WindowsRegionalSettings regional;
    platform::WindowsNetworkNames networkNames;
    vemlo::UseToolkitPlatform({.settingsStore = &store,
                               .messageBoxes = &boxes,
                               .windowMessages = &windows,
                               .clock = &clock,
                               .fileSystem = &files,
                               .serviceManager = &services,
                               .regionalSettings = &regional,
                               .networkNames = &networkNames});
    // The service control manager asks nobody: a user who may not start the service is refused.
    const int code = RunCtlCommand(args, std::cout, std::cerr, _isatty(_fileno(stdout)) != 0);
    vemlo::UseToolkitPlatform({});
    return code;
}
