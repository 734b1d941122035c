#include "app/TfrmNorlexa.h"
#include "app/default_error_handler.h"
#include "app/store_problems.h"
#include "platform/linux/dbus_window_messages.h"
#include "platform/linux/hive_paths.h"
#include "platform/linux/posix_regional_settings.h"
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
    platform::PosixRegionalSettings regional;
    vemlo::UseToolkitPlatform({&store, &boxes, &messages, &clock, &regional});
    vemlo::InitializeToolkit();
    int result = 0;
    {
        TfrmNorlexa window;
        window.show();
        ReportStoreProblems(
            {store.hiveProblem(platform::Hive::Machine), store.hiveProblem(platform::Hive::User)});
        result = application.exec();
    }
    vemlo::FinalizeToolkit();
    return result;
}
