#include "tests/support/shared_folder.h"

#include "tests/support/child_process.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

SharedFolder::SharedFolder() {
    char pattern[] = "/tmp/vemlo-shared-XXXXXX";
    if (::mkdtemp(pattern)) {
        path_ = pattern;
        ::chmod(path_.c_str(), 01777);
    }
}

SharedFolder::~SharedFolder() {
    std::error_code ignored;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, ignored);
    }
}

int AsUser(int uid, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!BecomeUser(uid)) {
            ::_exit(126);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace testing_support
