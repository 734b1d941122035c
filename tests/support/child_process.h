#pragma once

#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// A helper program started by a test; its standard output comes back through a pipe.
struct Child {
    pid_t pid = -1;
    FILE* out = nullptr;
};

// Starts args[0] with the arguments; as another user when uid is not -1 (the test runs as root).
Child StartChild(const std::vector<std::string>& args, int uid = -1);

// Everything the child writes until it ends; the pipe is closed after.
std::string ReadAll(Child& child);

// Waits for the child and gives its wait status.
int Wait(pid_t pid);

} // namespace testing_support
