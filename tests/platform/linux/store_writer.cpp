// Test helper: writes COUNT values "PREFIX<i>" = "<i>" to one machine-hive key through the
// toolkit and prints "ack <i>" after each write that returned true.
//   store_writer MACHINE_HIVE KEY PREFIX COUNT
// or reports how a hive looks to this process (ended by an alarm should it hang):
//   store_writer --probe HIVE
#include "platform/linux/sqlite_settings_store.h"
#include "toolkit/settings/registry.h"
#include "toolkit/toolkit_platform.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--probe") {
        ::alarm(30);
        platform::SqliteSettingsStore store(argv[2], argv[2]);
        vemlo::UseToolkitPlatform({.settingsStore = &store});
        std::cout << "problem=" << store.hiveProblem(platform::Hive::Machine) << "\n";
        std::cout << "read=" << vemlo::RegReadString(vemlo::RegRoot::LocalMachine, "K", "V")
                  << "\n";
        std::cout << "write=" << vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, "K", "W", "x")
                  << "\n";
        return 0;
    }
    if (argc != 5) {
        std::cerr << "usage: store_writer MACHINE_HIVE KEY PREFIX COUNT\n";
        return 2;
    }
    platform::SqliteSettingsStore store(argv[1], argv[1]);
    vemlo::UseToolkitPlatform({.settingsStore = &store});
    const int count = std::stoi(argv[4]);
    for (int i = 0; i < count; ++i) {
        if (!vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, argv[2],
                                   argv[3] + std::to_string(i), std::to_string(i))) {
            std::cerr << "write " << i << " failed: " << vemlo::g_LastRegistryError << "\n";
            return 1;
        }
        std::printf("ack %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
