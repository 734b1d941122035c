#pragma once

#include "ctl/service_commands.h"
#include "toolkit/toolkit_platform.h"

#include <string>
#include <vector>

// Wires the toolkit to the platform's backends for one command, with what is the same on every
// platform (boxes to stderr, no window messages) added, runs it on the standard streams and
// undoes the wiring; the exit code.
int RunCtlOn(vemlo::ToolkitPlatform backends, const std::vector<std::string>& args,
             const ServiceSession& session = {});
