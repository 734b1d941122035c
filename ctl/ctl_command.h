#pragma once

#include "ctl/service_commands.h"

#include <iosfwd>
#include <string>
#include <vector>

// Runs one command of lumra-export-ctl over the toolkit's platform: results to out, one-line
// messages to err. The exit code as ctl_exit.h has it.
int RunCtlCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const ServiceSession& session = {});

// The usage lines.
std::string CtlUsage();
// The usage with every command, option and exit code, for --help.
std::string CtlHelp();
