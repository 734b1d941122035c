#include "app/start_up.h"

#include "app/store_problems.h"
#include "platform/settings_store.h"
#include "toolkit/widgets/handler_guard.h"

std::unique_ptr<TfrmNorlexa> StartMainWindow(platform::SettingsStore& store) {
    std::unique_ptr<TfrmNorlexa> window;
    vemlo::RunGuarded([&] {
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
