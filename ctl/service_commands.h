#pragma once

#include "ctl/ctl_arguments.h"
#include "ctl/ctl_output.h"

#include <cstdint>
#include <functional>
#include <string>

// What a start or stop needs of the caller's session.
struct ServiceSession {
    // Runs the request while the session can answer the service manager's questions for
    // authorisation (a text agent on a terminal); by default it runs the request as it is.
    std::function<bool(const std::function<bool()>& request)> authorised =
        [](const std::function<bool()>& request) {
            return request();
        };
    // Said after a failed request when nobody could have been asked; "" when someone could.
    std::string noPromptNote;
};

// The service state's name as the window's status items show it; "" for 0 and unknown states.
std::string ServiceStateName(std::uint32_t state);

// service status | start | stop, with the window's algorithm, bound and messages.
int ServiceCommand(const CtlArguments& arguments, const CtlStreams& streams,
                   const ServiceSession& session);
