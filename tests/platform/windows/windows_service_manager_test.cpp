#include "admin/service_control.h"
#include "platform/system_clock.h"
#include "platform/windows/windows_service_manager.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/service/machine_name.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using platform::kNoServiceHandle;
using platform::WindowsServiceManager;

// The service that the prefix's set-up registered (wine_prefix.sh). One test alone starts and
// stops it, since the tests of an executable may run at once.
constexpr const char* kTestService = "VemloTestService";

// The service logic on the real manager and the real clock, the rest on the twins.
class WindowsServiceTest : public ::testing::Test {
protected:
    WindowsServiceTest() {
        auto wiring = twins.wiring();
        wiring.serviceManager = &manager;
        wiring.clock = &clock;
        twins.wire(wiring);
    }

    testing_support::ToolkitTwins twins;
    WindowsServiceManager manager;
    platform::SystemClock clock;
};

TEST_F(WindowsServiceTest, StartsAndStopsAServiceThroughItsPendingStates) {
    ASSERT_EQ(lumra::QueryServiceState("", kTestService), platform::kServiceStopped);
    EXPECT_TRUE(lumra::StartExportService("", kTestService));
    EXPECT_EQ(lumra::QueryServiceState("", kTestService), platform::kServiceRunning);
    // A running service refuses to be started again.
    const auto managerHandle = manager.openManager("", platform::kManagerConnect);
    const auto service = manager.openService(managerHandle, kTestService, platform::kServiceStart);
    ASSERT_NE(service, kNoServiceHandle);
    EXPECT_FALSE(manager.startService(service));
    EXPECT_EQ(manager.lastError(), static_cast<std::uint32_t>(ERROR_SERVICE_ALREADY_RUNNING));
    manager.closeHandle(service);
    manager.closeHandle(managerHandle);

    EXPECT_TRUE(lumra::StopExportService("", kTestService));
    EXPECT_EQ(lumra::QueryServiceState("", kTestService), platform::kServiceStopped);

    // A stopped service refuses the stop request and says why in the record.
    const auto again = manager.openManager("", platform::kManagerConnect);
    const auto stopped = manager.openService(again, kTestService, platform::kServiceStop);
    ASSERT_NE(stopped, kNoServiceHandle);
    const auto reply = manager.controlService(stopped, platform::kServiceControlStop);
    EXPECT_FALSE(reply.accepted);
    EXPECT_EQ(manager.lastError(), static_cast<std::uint32_t>(ERROR_SERVICE_NOT_ACTIVE));
    ASSERT_TRUE(reply.status.has_value());
    EXPECT_EQ(reply.status->currentState, platform::kServiceStopped);
    manager.closeHandle(stopped);
    manager.closeHandle(again);
}

TEST_F(WindowsServiceTest, AMissingServiceDoesNotOpen) {
    const auto managerHandle = manager.openManager("", platform::kManagerConnect);
    ASSERT_NE(managerHandle, kNoServiceHandle);
    EXPECT_EQ(
        manager.openService(managerHandle, "VemloNoSuchService", platform::kServiceQueryStatus),
        kNoServiceHandle);
    EXPECT_EQ(manager.lastError(), static_cast<std::uint32_t>(ERROR_SERVICE_DOES_NOT_EXIST));
    manager.closeHandle(managerHandle);
    EXPECT_EQ(lumra::QueryServiceState("", "VemloNoSuchService"), 0u);
    EXPECT_FALSE(lumra::StartExportService("", "VemloNoSuchService"));
}

TEST_F(WindowsServiceTest, TheComputerNameFitsTheBufferOrIsNotRead) {
    const auto name = manager.computerName(16);
    ASSERT_TRUE(name.has_value());
    EXPECT_FALSE(name->empty());
    EXPECT_LE(name->size(), 15u);
    EXPECT_EQ(manager.computerName(1), std::nullopt);
}

} // namespace
