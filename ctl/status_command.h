#pragma once

#include "ctl/ctl_arguments.h"
#include "ctl/ctl_output.h"

// status: the schedule, the run information, the service's state and the configurations, under
// the window's captions; with --json, the stored texts under the store's value names.
int StatusCommand(const CtlArguments& arguments, const CtlStreams& streams);
