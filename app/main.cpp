#include "app/default_error_handler.h"
#include "app/start_up.h"
#include "platform/linux/dbus_window_messages.h"
#include "platform/linux/hive_paths.h"
#include "platform/linux/sqlite_settings_store.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/system_clock.h"
#include "toolkit/desktop/toolkit_lifetime.h"
#include "toolkit/toolkit_platform.h"

int main(int argc, char** argv) {
    LumraApplication application(argc, argv);
    platform::SqliteSettingsStore store(platform::UserHivePath(), platform::MachineHivePath());
    platform::QtMessageBoxes boxes;
    platform::DBusWindowMessages messages;
    platform::SystemClock clock;
    vemlo::UseToolkitPlatform({&store, &boxes, &messages, &clock});
    vemlo::InitializeToolkit();
    int result = 1;
    if (auto window = StartMainWindow(store)) {
        result = application.exec();
    }
    vemlo::FinalizeToolkit();
    return result;
}
