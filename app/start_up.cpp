#include "app/start_up.h"

#include "app/handler_guard.h"
#include "app/store_problems.h"
#include "platform/settings_store.h"

std::unique_ptr<TfrmNorlexa> StartMainWindow(platform::SettingsStore& store) {
    std::unique_ptr<TfrmNorlexa> window;
    RunGuarded([&] {
        ReportStartProblems({store.hiveProblemForUser(platform::Hive::Machine),
                             store.hiveProblemForUser(platform::Hive::User)},
                            [&] {
                                auto built = std::make_unique<TfrmNorlexa>();
                                built->show();
                                window = std::move(built);
                            });
    });
    return window;
}
