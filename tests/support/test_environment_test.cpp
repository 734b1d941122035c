// Every case runs in the build tree's own environment, never the user's home or buses: the whole
// list arrives, the last of it included.
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TestEnvironment, EveryCaseGetsTheWholeListOfTheBuildTree) {
    const std::array names = {
        "XDG_RUNTIME_DIR", "HOME",          "XDG_CONFIG_HOME",   "VEMLO_MACHINE_HIVE",
        "VEMLO_USER_HIVE", "VEMLO_APPDATA", "VEMLO_COMMON_FILES"};
    for (const char* name : names) {
        const char* value = std::getenv(name);
        ASSERT_NE(value, nullptr) << name;
        EXPECT_NE(std::string(value).find("test-home"), std::string::npos) << name << "=" << value;
    }
    for (const char* bus : {"DBUS_SESSION_BUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS"}) {
        const char* value = std::getenv(bus);
        ASSERT_NE(value, nullptr) << bus;
        EXPECT_STREQ(value, "disabled:") << bus;
    }
}

} // namespace
