// From creating the application object to the main window's first show, offscreen: everything
// the program does at start but loading its own executable.
#include "app/TfrmNorlexa.h"
#include "app/default_error_handler.h"
#include "config/lumra_configs.h"
#include "platform/linux/sqlite_settings_store.h"
#include "platform/memory/scripted_message_boxes.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/toolkit_platform.h"

#include <QTest>
#include <benchmark/benchmark.h>

namespace {

void StartToFirstShow(benchmark::State& state) {
    testing_support::TempFolder folder;
    const auto user = folder.file("user.hive");
    const auto machine = folder.file("machine.hive");
    testing_support::ToolkitTwins twins;
    {
        platform::SqliteSettingsStore seed(user, machine);
        twins.useStore(seed);
        lumra::TLumraConfigs configs;
        for (int i = 0; i < 10; ++i) {
            configs.Add();
        }
        configs.Save();
    }
    for (auto _ : state) {
        int argc = 1;
        char name[] = "lumra-export-admin";
        char* argv[] = {name, nullptr};
        LumraApplication application(argc, argv);
        platform::SqliteSettingsStore store(user, machine);
        twins.useStore(store);
        TfrmNorlexa window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            state.SkipWithError("the window was not shown");
        }
    }
}

} // namespace

BENCHMARK(StartToFirstShow)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
