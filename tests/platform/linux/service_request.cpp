// Presses a service button's request as the user it runs as, against the systemd on the bus
// given: service_request ADDRESS start|stop. Prints whether the request succeeded and the state
// read after it, as "true 4".
#include "admin/service_control.h"
#include "platform/linux/systemd_service_manager.h"
#include "platform/system_clock.h"
#include "tests/support/toolkit_fixture.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3 || (std::strcmp(argv[2], "start") != 0 && std::strcmp(argv[2], "stop") != 0)) {
        std::fprintf(stderr, "usage: service_request ADDRESS start|stop\n");
        return 2;
    }
    platform::SystemdServiceManager services(argv[1]);
    platform::SystemClock clock;
    testing_support::ToolkitTwins twins;
    auto wiring = twins.wiring();
    wiring.serviceManager = &services;
    wiring.clock = &clock;
    twins.wire(wiring);
    const bool start = std::strcmp(argv[2], "start") == 0;
    const bool done = start ? lumra::StartExportService("", lumra::kExportServiceName)
                            : lumra::StopExportService("", lumra::kExportServiceName);
    std::printf("%s %u\n", done ? "true" : "false",
                static_cast<unsigned>(lumra::QueryServiceState("", lumra::kExportServiceName)));
    return 0;
}
