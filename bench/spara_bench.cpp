// "Spara" in the window with 100 configurations on the SQLite hive: the six schedule values and
// the configuration list's Save, each value its own write.
#include "app/TfrmNorlexa.h"
#include "app/default_error_handler.h"
#include "config/lumra_configs.h"
#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/toolkit_platform.h"

#include <QPushButton>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

void SparaWithoutBatch(benchmark::State& state) {
    testing_support::TempFolder folder;
    platform::SqliteSettingsStore store(folder.file("user.hive"), folder.file("machine.hive"));
    testing_support::ToolkitTwins twins;
    twins.useStore(store);
    {
        lumra::TLumraConfigs configs;
        for (int i = 0; i < state.range(0); ++i) {
            configs.Add();
        }
        configs.Save();
    }
    TfrmNorlexa window;
    window.show();
    auto* spara = window.findChild<QPushButton*>(QStringLiteral("btnSpara"));
    if (!spara || !QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    for (auto _ : state) {
        spara->click();
    }
    if (!twins.boxes.shown().empty()) {
        state.SkipWithError("Spara showed a box");
    }
}

} // namespace

BENCHMARK(SparaWithoutBatch)->Arg(100)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    LumraApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
