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
// That user may not be able to enter the build folder (a checkout under /root), so the program
// then runs from a copy in a folder every user may enter. When it cannot start, the child writes
// why to its output, which the test shows, and exits with 127.
Child StartChild(const std::vector<std::string>& args, int uid = -1);

// The path of a copy of the program that every user may run, made as StartChild makes it, for a
// program another user starts in turn (from a shell, say); "" with the reason in problem.
std::string ReachableCopy(const std::string& program, std::string& problem);

// Makes this (child) process the user, uid and gid alike, with no supplementary groups; false
// when it could not.
bool BecomeUser(int uid);

// A test helper program built beside the running test program.
std::string ProgramBesideTest(const std::string& name);

// Everything the child writes until it ends; the pipe is closed after.
std::string ReadAll(Child& child);

// Waits for the child and gives its wait status.
int Wait(pid_t pid);

// A helper run to its end: its exit code (-1 when a signal ended it) and all it wrote.
struct Finished {
    int exitCode = -1;
    std::string output;
};
Finished RunChild(const std::vector<std::string>& args, int uid = -1);

} // namespace testing_support
