#pragma once

#include "ctl/ctl_arguments.h"
#include "ctl/ctl_output.h"
#include "platform/regional_settings.h"

// schedule set: what "Spara" does for the schedule, from the stored values and the options.
int ScheduleCommand(const CtlArguments& arguments, const CtlStreams& streams);

// run-now: what "Kör nu..." writes.
int RunNowCommand(const CtlArguments& arguments, const CtlStreams& streams);

// A stored time of day that is not empty and yet no time in the caller's regional settings:
// written in other settings, or damaged. The window shows its default in its place; the program
// never passes that default for what is stored.
bool IsUnreadableTime(const platform::RegionalFormats& formats, const std::string& stored);
