#include "ctl/ctl_command.h"

#include "ctl/config_commands.h"
#include "ctl/ctl_exit.h"
#include "ctl/ctl_output.h"
#include "ctl/schedule_commands.h"
#include "ctl/status_command.h"
#include "platform/store_deadline.h"

#include <ostream>

std::string CtlUsage() {
    return R"(usage: lumra-export-ctl [--json] status
       lumra-export-ctl schedule set [--period P] [--day D] [--time T] [--restart on|off]
                                     [--restart-time T]
       lumra-export-ctl run-now
       lumra-export-ctl [--json] config list
       lumra-export-ctl [--json] config show NAME|--slot N
       lumra-export-ctl config add [--name NAME] [--dataprovider FILE] [--folder DIR] [--file NAME]
       lumra-export-ctl config set NAME|--slot N [--name NAME] [--dataprovider FILE]
                                  [--folder DIR] [--file NAME]
       lumra-export-ctl config remove NAME|--slot N
       lumra-export-ctl [--json] service status|start|stop)";
}

std::string CtlHelp() {
    return CtlUsage() + R"(

Administers the export service VemloLumraBokfExport as its window does, with the same rules and
texts, over the same settings store. It needs no display.

  status            the schedule, the run information, the service's state and the
                    configurations by slot and name
  schedule set      changes the schedule as "Spara" does: every value not given keeps its stored
                    text, the next run is counted anew, and all schedule values are written at
                    once. --period Dag, Vecka, Varanna vecka or Månad; --day Måndag to Söndag,
                    for weekly periods only (letter case and the accents of å, ä, ö are
                    optional: vecka, mandag); --time and --restart-time as HH:MM or HH:MM:SS
  run-now           asks the service to run at once, as "Kör nu..." does
  config list       the configurations, one per line: the slot N of the key "Config-N", a tab,
                    the name
  config show       one configuration's values
  config add        a new configuration, named "Config-N" with the data provider
                    "DefaultDataProvider" unless given; prints its slot
  config set        changes the values given
  config remove     removes a configuration; those after it move up one slot
  service status    the service's state, as SERVICE_RUNNING and the like
  service start     starts the service and waits while it starts (at most 3 minutes)
  service stop      stops the service and waits while it stops

A configuration is named by its name or by --slot N; a name that several configurations hold is
refused with their slots. A name is required, values may hold at most 1024 characters, and an
export folder is stored absolute, in its universal form, with its trailing separator. On a
terminal, a start or stop that needs authorisation asks for it as systemctl does.

--json prints what a reading command shows as JSON, under the store's value names, with the
service's state as its SERVICE_ name (null when none could be read). Dates and times are read
and written in the caller's regional settings (LC_TIME), as the window does.

A command that finds the store locked by another program waits at most five seconds in all.
Exit status: 0 done; 1 refused or failed (a rule of the window, a service that did not start or
stop or whose state could not be read, a configuration not found or ambiguous, a stored previous
run that is no date and time, output that could not be written); 2 usage error; 3 the store could not be read or written, an
incomplete read included. Messages go to stderr, one line each.)";
}

namespace {

int RunOne(const std::vector<std::string>& args, const CtlStreams& streams,
           const ServiceSession& session) {
    // One command waits for locks and runs statements at most one budget in all.
    const platform::ActionBudget budget;
    try {
        const auto arguments = ParseCtlArguments(args);
        if (arguments.help) {
            streams.out << CtlHelp() << "\n";
            return kCtlOk;
        }
        if (arguments.words.empty()) {
            throw CtlUsageError("a command is needed");
        }
        const std::string& command = arguments.words[0];
        if (command == "status") {
            return StatusCommand(arguments, streams);
        }
        if (command == "schedule") {
            return ScheduleCommand(arguments, streams);
        }
        if (command == "run-now") {
            return RunNowCommand(arguments, streams);
        }
        if (command == "config") {
            return ConfigCommand(arguments, streams);
        }
        if (command == "service") {
            return ServiceCommand(arguments, streams, session);
        }
        throw CtlUsageError("unknown command '" + command + "'");
    } catch (const CtlUsageError& error) {
        return Fail(streams, kCtlUsage,
                    std::string(error.what()) + " (lumra-export-ctl --help lists the commands)");
    }
}

} // namespace

int RunCtlCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const ServiceSession& session) {
    const CtlStreams streams{out, err};
    const int code = RunOne(args, streams, session);
    // A script must not take output lost to a full disk or a closed pipe for the result.
    if (!out.flush()) {
        const int failed = Fail(streams, kCtlRefused, "the output could not be written");
        return code == kCtlOk ? failed : code;
    }
    return code;
}
