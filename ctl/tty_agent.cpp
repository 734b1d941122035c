#include "ctl/tty_agent.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kAgent = "/usr/bin/pkttyagent";
// The agent tells on this descriptor that it is ready, by closing it.
constexpr int kNotifyFd = 3;

// Waits for the child at most the time given; true when it ended.
bool Reaped(pid_t pid, int milliseconds) {
    for (int waited = 0; waited <= milliseconds; waited += 10) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR)) {
            return true;
        }
        ::usleep(10'000);
    }
    return false;
}

} // namespace

TtyAgent::TtyAgent() {
    int notify[2];
    if (::pipe2(notify, O_CLOEXEC) != 0) {
        problem_ = std::string("no pipe for the authorisation agent: ") + std::strerror(errno);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, notify[1], kNotifyFd);
    // Registered for this process, so it answers for it also outside a login session (a shell
    // whose session the login manager does not know, a container).
    std::string process = std::to_string(::getpid());
    char notifyArg[] = "3";
    char* const argv[] = {const_cast<char*>(kAgent),
                          const_cast<char*>("--notify-fd"),
                          notifyArg,
                          const_cast<char*>("--process"),
                          process.data(),
                          const_cast<char*>("--fallback"),
                          nullptr};
    const int spawned = ::posix_spawn(&pid_, kAgent, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(notify[1]);
    if (spawned != 0) {
        pid_ = -1;
        problem_ = std::string("the authorisation agent ") + kAgent +
                   " could not be started: " + std::strerror(spawned);
        ::close(notify[0]);
        return;
    }
    pollfd ready{notify[0], POLLIN, 0};
    int polled = 0;
    while ((polled = ::poll(&ready, 1, kReadyMilliseconds)) < 0 && errno == EINTR) {
    }
    ::close(notify[0]);
    if (polled == 0) {
        problem_ = std::string("the authorisation agent ") + kAgent + " did not get ready";
    }
}

TtyAgent::~TtyAgent() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (!Reaped(pid_, 1000)) {
        ::kill(pid_, SIGKILL);
        Reaped(pid_, 1000);
    }
}
