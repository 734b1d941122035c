#include "ctl/linux_wiring.h"

int main(int argc, char** argv) {
    return RunCtlOnLinux(argc, argv);
}
