#pragma once

#include "ctl/ctl_arguments.h"
#include "ctl/ctl_output.h"

// schedule set: what "Spara" does for the schedule, from the stored values and the options.
int ScheduleCommand(const CtlArguments& arguments, const CtlStreams& streams);

// run-now: what "Kör nu..." writes.
int RunNowCommand(const CtlArguments& arguments, const CtlStreams& streams);
