#include "tests/support/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

Child StartChild(const std::vector<std::string>& args, int uid) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        if (uid >= 0 && (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(uid)) != 0 ||
                         ::setuid(static_cast<uid_t>(uid)) != 0)) {
            ::_exit(126);
        }
        std::vector<char*> argv;
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, ::fdopen(fds[0], "r")};
}

std::string ReadAll(Child& child) {
    std::string output;
    char line[4096];
    while (child.out && std::fgets(line, sizeof line, child.out)) {
        output += line;
    }
    if (child.out) {
        std::fclose(child.out);
        child.out = nullptr;
    }
    return output;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

} // namespace testing_support
