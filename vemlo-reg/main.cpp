#include "platform/console/console_message_boxes.h"
#include "platform/console/no_window_messages.h"
#include "toolkit/toolkit_platform.h"
#include "vemlo-reg/reg_command.h"

#ifdef _WIN32
#include "platform/windows/registry_settings_store.h"
#include "platform/windows/wide_text.h"

#include <io.h>
#include <windows.h>
#else
#include "platform/linux/hive_paths.h"
#include "platform/linux/machine_hive_setup.h"
#include "platform/linux/sqlite_settings_store.h"

#include <unistd.h>
#endif

#include <cstdio>
#include <iostream>

#ifndef _WIN32
namespace {

// The package runs it on installation; what it changed goes to stderr as well, for the log.
int InitMachineHive() {
    const auto path = platform::MachineHivePath();
    const auto result = platform::SetUpSharedHive(path);
    for (const auto& change : result.changes) {
        std::cerr << "vemlo-reg: " << change << "\n";
    }
    if (!result.done) {
        std::cerr << "vemlo-reg: the machine hive '" << path
                  << "' was not set up: " << result.problem << "\n";
        return kRegStoreFailed;
    }
    return kRegOk;
}

} // namespace
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    // Keys, names and values are UTF-8 in and out, whatever the console's code page.
    SetConsoleOutputCP(CP_UTF8);
    const auto args = platform::Utf8Arguments();
#else
    const std::vector<std::string> args(argv + 1, argv + argc);
#endif
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << RegHelp() << "\n";
        return kRegOk;
    }
#ifdef _WIN32
    platform::RegistrySettingsStore store;
#else
    if (args.size() == 1 && args[0] == kInitMachineHive) {
        return InitMachineHive();
    }
#endif
#ifdef _WIN32
#else
    platform::SqliteSettingsStore store(platform::UserHivePath(), platform::MachineHivePath());
#endif
    platform::ConsoleMessageBoxes boxes("vemlo-reg", std::cerr);
    platform::NoWindowMessages windows;
    vemlo::UseToolkitPlatform(
        {.settingsStore = &store, .messageBoxes = &boxes, .windowMessages = &windows});
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stdout)) != 0;
#else
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
#endif
    return RunRegCommand(args, std::cout, std::cerr, terminal);
}
