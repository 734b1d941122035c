// "Spara" with 100 configurations on the SQLite hive: the window's own, whose six schedule values
// and configuration list go to the store in one write batch, beside the same writes made one by
// one without a batch. Each iteration changes the export time, so "Tid" and "Nextrun" really
// change; the configurations' values stay as they are in both.
#include "app/TfrmNorlexa.h"
#include "app/default_error_handler.h"
#include "config/lumra_configs.h"
#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"

#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <benchmark/benchmark.h>
#include <string>

namespace {

const std::string kService = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\";

void StoreConfigs(int count) {
    lumra::TLumraConfigs configs;
    for (int i = 0; i < count; ++i) {
        configs.Add();
    }
    configs.Save();
}

void Spara(benchmark::State& state) {
    testing_support::TempFolder folder;
    platform::SqliteSettingsStore store(folder.file("user.hive"), folder.file("machine.hive"));
    testing_support::ToolkitTwins twins;
    twins.useStore(store);
    StoreConfigs(static_cast<int>(state.range(0)));
    TfrmNorlexa window;
    window.show();
    auto* spara = window.findChild<QPushButton*>(QStringLiteral("btnSpara"));
    auto* time = window.findChild<QTimeEdit*>(QStringLiteral("dtpTid"));
    if (!spara || !time || !QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    int minute = 0;
    for (auto _ : state) {
        time->setTime(QTime(6, ++minute % 60));
        spara->click();
    }
    if (!twins.boxes.shown().empty()) {
        state.SkipWithError("Spara showed a box");
    }
}

// The writes of "Spara", each its own transaction, as they were before the batch.
void SparaWritesWithoutBatch(benchmark::State& state) {
    testing_support::TempFolder folder;
    platform::SqliteSettingsStore store(folder.file("user.hive"), folder.file("machine.hive"));
    testing_support::ToolkitTwins twins;
    twins.useStore(store);
    const int count = static_cast<int>(state.range(0));
    StoreConfigs(count);
    const auto machine = vemlo::RegRoot::LocalMachine;
    const std::string timers = kService + "Timers";
    int minute = 0;
    for (auto _ : state) {
        const std::string tid = "06:" + std::to_string(10 + ++minute % 50) + ":00";
        vemlo::RegWriteString(machine, timers, "Period", "1");
        vemlo::RegWriteString(machine, timers, "Dag", "");
        vemlo::RegWriteString(machine, timers, "Tid", tid);
        vemlo::RegWriteString(machine, timers, "Nextrun", "2014-10-30 " + tid);
        vemlo::RegWriteString(machine, timers, "Restart", "0");
        vemlo::RegWriteString(machine, timers, "Restarttime", "01:00:00");
        for (int i = 0; i < count; ++i) {
            const std::string slot = kService + "Configurations\\Config-" + std::to_string(i);
            vemlo::RegWriteString(machine, slot, "Name", "Config-" + std::to_string(i));
            vemlo::RegWriteString(machine, slot, "DataProvider", "DefaultDataProvider");
            vemlo::RegWriteString(machine, slot, "ExportPathBokforing", "");
            vemlo::RegWriteString(machine, slot, "ExportFilename", "");
        }
    }
}

} // namespace

BENCHMARK(Spara)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(SparaWritesWithoutBatch)->Arg(100)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    LumraApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
