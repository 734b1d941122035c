#pragma once

#include <string>
#include <sys/types.h>

// The service manager's text agent for authorisation (pkttyagent) on the caller's terminal, as
// systemctl starts it: the service manager asks on the terminal for the password while a start
// or stop is waiting for polkit's answer, which the bus call bounds in time.
class TtyAgent {
public:
    // How long the agent may take to be ready before the request goes on without it.
    static constexpr int kReadyMilliseconds = 10'000;

    // Starts the agent and waits until it is ready; problem says why when it is not.
    TtyAgent();
    ~TtyAgent();
    TtyAgent(const TtyAgent&) = delete;
    TtyAgent& operator=(const TtyAgent&) = delete;

    const std::string& problem() const { return problem_; }

private:
    pid_t pid_ = -1;
    std::string problem_;
};
