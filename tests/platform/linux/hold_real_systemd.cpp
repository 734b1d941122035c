// Holds a real systemd as a test program does, in a process group of its own like a job started
// from a terminal: hold_real_systemd LAUNCHER RULES. Prints the cgroup folder and the fixture's
// folder once systemd runs, then waits until it is killed.
#include "tests/support/real_systemd.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    ::setpgid(0, 0);
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: hold_real_systemd LAUNCHER RULES\n");
        return 2;
    }
    testing_support::RealSystemd systemd(argv[1], argv[2]);
    if (!systemd.skipReason().isEmpty() || !systemd.failure().isEmpty()) {
        std::printf("\n");
        return 1;
    }
    std::printf("%s\n%s\n", systemd.cgroup().c_str(), systemd.folder().c_str());
    std::fflush(stdout);
    for (;;) {
        ::pause();
    }
}
