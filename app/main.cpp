#include "app/default_error_handler.h"
#include "app/start_up.h"
#include "platform/linux/dbus_window_messages.h"
#include "platform/linux/hive_paths.h"
#include "platform/linux/immediate_process_end.h"
#include "platform/linux/logind_power_notifications.h"
#include "platform/linux/mountinfo_network_names.h"
#include "platform/linux/posix_regional_settings.h"
#include "platform/linux/sqlite_settings_store.h"
#include "platform/linux/std_file_system.h"
#include "platform/linux/systemd_service_manager.h"
#include "platform/linux/xdg_shell_folders.h"
#include "platform/qt/process_shell_opener.h"
#include "platform/qt/qt_folder_browser.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/system_clock.h"
#include "toolkit/dataproviders/TfrmDataProviders.h"
#include "toolkit/desktop/TfrmVemloTools.h"
#include "toolkit/desktop/toolkit_lifetime.h"
#include "toolkit/dialogs/application_object.h"
#include "toolkit/toolkit_platform.h"
#include "toolkit/widgets/handler_guard.h"

#include <algorithm>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    LumraApplication application(argc, argv);
    platform::SqliteSettingsStore store(platform::UserHivePath(), platform::MachineHivePath());
    platform::QtMessageBoxes boxes;
    platform::DBusWindowMessages messages;
    platform::SystemClock clock;
    platform::ImmediateProcessEnd processEnd;
    // The main window owns no database connection; a resume reports 0 reopened connections.
    vemlo::TApplicationObject components;
    components.add("frmNorlexa", vemlo::ContainerKind::Form);
    platform::XdgShellFolders shellFolders;
    // The application has taken its own options out of argv by now.
    platform::StdFileSystem files(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    // Data link files open in the editor installed beside this program.
    platform::ProcessShellOpener shellOpener(
        (QCoreApplication::applicationDirPath() + QStringLiteral("/vemlo-datalink-editor"))
            .toStdString());
    platform::SystemdServiceManager services;
    platform::PosixRegionalSettings regional;
    platform::QtFolderBrowser folders;
    platform::MountInfoNetworkNames networkNames;
    vemlo::UseToolkitPlatform({.settingsStore = &store,
                               .messageBoxes = &boxes,
                               .windowMessages = &messages,
                               .clock = &clock,
                               .processEnd = &processEnd,
                               .application = &components,
                               .shellFolders = &shellFolders,
                               .fileSystem = &files,
                               .serviceManager = &services,
                               .regionalSettings = &regional,
                               .shellOpener = &shellOpener,
                               .folderBrowser = &folders,
                               .networkNames = &networkNames});
    vemlo::DialogDataProviderSelection dataProviders;
    vemlo::UseDataProviderSelection(&dataProviders);
    vemlo::InitializeToolkit();
    int result = 1;
    {
        platform::LogindPowerNotifications power;
        power.subscribe([](std::uint64_t code) {
            vemlo::RunGuarded([code] { vemlo::frmVemloTools->WMPowerBroadcast(code); });
        });
        if (auto window = StartMainWindow(store)) {
            result = application.exec();
        }
    }
    vemlo::FinalizeToolkit();
    return result;
}
