#pragma once

#include "ctl/service_commands.h"

#include <string>
#include <vector>

namespace platform {
class SettingsStore;
class Clock;
class FileSystem;
class ServiceManager;
class RegionalSettings;
class NetworkNames;
} // namespace platform

// The backends a platform hands the program; the rest (boxes to stderr, no window messages) is
// the same on every platform.
struct CtlBackends {
    platform::SettingsStore* settingsStore = nullptr;
    platform::Clock* clock = nullptr;
    platform::FileSystem* fileSystem = nullptr;
    platform::ServiceManager* serviceManager = nullptr;
    platform::RegionalSettings* regionalSettings = nullptr;
    platform::NetworkNames* networkNames = nullptr;
};

// Wires the toolkit to the backends for one command, runs it on the standard streams and undoes
// the wiring; the exit code.
int RunCtlOn(const CtlBackends& backends, const std::vector<std::string>& args,
             const ServiceSession& session = {});
