#include "ctl/service_commands.h"

#include "admin/service_control.h"
#include "admin/window_texts.h"
#include "ctl/ctl_exit.h"
#include "toolkit/service/machine_name.h"

namespace {

std::uint32_t ReadState() {
    return lumra::QueryServiceState(vemlo::GetMachineName(), lumra::kExportServiceName);
}

// The state as "Status: NAME", or that none could be read; with --json as {"ServiceState": …}.
int PrintState(const CtlArguments& arguments, const CtlStreams& streams, std::uint32_t state) {
    const std::string name = ServiceStateName(state);
    if (arguments.json) {
        PrintJson(streams, {{"ServiceState", name.empty() ? CtlJson() : CtlJson(name)}});
    } else {
        PrintField(streams, lumra::kCaptionStatus, name.empty() ? "no state could be read" : name);
    }
    return name.empty() ? kCtlRefused : kCtlOk;
}

} // namespace

std::string ServiceStateName(std::uint32_t state) {
    const int item = lumra::ServiceStateItem(state);
    return item < 0 ? std::string() : lumra::kServiceStateNames[static_cast<std::size_t>(item)];
}

int ServiceCommand(const CtlArguments& arguments, const CtlStreams& streams,
                   const ServiceSession& session) {
    ExpectShape(arguments, 2, {});
    const std::string& verb = arguments.words[1];
    if (verb == "status") {
        return PrintState(arguments, streams, ReadState());
    }
    const bool start = verb == "start";
    if (!start && verb != "stop") {
        throw CtlUsageError("unknown service verb '" + verb + "'");
    }
    const bool done = session.authorised([start] {
        return start ? lumra::StartExportService(vemlo::GetMachineName(), lumra::kExportServiceName)
                     : lumra::StopExportService(vemlo::GetMachineName(), lumra::kExportServiceName);
    });
    int code = kCtlOk;
    if (!done) {
        code = Fail(streams, kCtlRefused,
                    start ? lumra::kServiceStartFailed : lumra::kServiceStopFailed);
        if (!session.noPromptNote.empty()) {
            Fail(streams, kCtlRefused, session.noPromptNote);
        }
    }
    // The state reached is shown as the window's status shows it after a press.
    PrintState(arguments, streams, ReadState());
    return code;
}
