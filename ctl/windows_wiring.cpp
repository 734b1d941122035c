#include "ctl/windows_wiring.h"

#include "ctl/ctl_wiring.h"
#include "platform/system_clock.h"
#include "platform/windows/registry_settings_store.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_file_system.h"
#include "platform/windows/windows_network_names.h"
#include "platform/windows/windows_regional_settings.h"
#include "platform/windows/windows_service_manager.h"

#include <cstdio>
#include <windows.h>

int RunCtlOnWindows() {
    // Names and values are UTF-8 in and out, whatever the console's code page.
    SetConsoleOutputCP(CP_UTF8);
    const auto args = platform::Utf8Arguments();
    platform::RegistrySettingsStore store;
    platform::SystemClock clock;
    platform::WindowsFileSystem files(args);
    platform::WindowsServiceManager services;
    platform::WindowsRegionalSettings regional;
    platform::WindowsNetworkNames networkNames;
    // The service control manager asks nobody: a user who may not start the service is refused.
    return RunCtlOn({.settingsStore = &store,
                     .clock = &clock,
                     .fileSystem = &files,
                     .serviceManager = &services,
                     .regionalSettings = &regional,
                     .networkNames = &networkNames},
                    args);
}
