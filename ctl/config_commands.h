#pragma once

#include "config/lumra_configs.h"
#include "ctl/ctl_arguments.h"
#include "ctl/ctl_output.h"

#include <optional>

// config list | show | add | set | remove: the export configurations, with the window's rules.
int ConfigCommand(const CtlArguments& arguments, const CtlStreams& streams);

// Loads the list; the exit code and its message when the load was incomplete.
std::optional<int> LoadConfigs(lumra::TLumraConfigs& configs, const CtlStreams& streams);
