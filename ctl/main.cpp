#ifdef _WIN32
#include "ctl/windows_wiring.h"

int main() {
    return RunCtlOnWindows();
}
#else
#include "ctl/linux_wiring.h"

int main(int argc, char** argv) {
    return RunCtlOnLinux(argc, argv);
}
#endif
