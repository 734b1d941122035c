// The settings store through the toolkit, against raw SQLite (the floor) and QSettings.
#include "config/lumra_configs.h"
#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/settings/registry.h"
#include "toolkit/toolkit_platform.h"

#include <QSettings>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

namespace {

const std::string kKey = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Timers";
const std::string kName = "Nextrun";
const std::string kValue = "2026-12-11 06:00:00";

struct ToolkitStore {
    testing_support::TempFolder folder;
    platform::SqliteSettingsStore store{folder.file("user.hive"), folder.file("machine.hive")};
    testing_support::WiredToolkit wired{{.settingsStore = &store}};
    ToolkitStore() { vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, kKey, kName, kValue); }
};

// SQLite skips an update that changes nothing, without writing or syncing anything, so every
// write benchmark stores a value that differs from the one before.
std::string Changed(long long n) {
    return kValue + "." + std::to_string(n);
}

void ToolkitWrite(benchmark::State& state) {
    ToolkitStore fixture;
    long long n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, kKey, kName, Changed(++n)));
    }
}

void ToolkitRead(benchmark::State& state) {
    ToolkitStore fixture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vemlo::RegReadString(vemlo::RegRoot::LocalMachine, kKey, kName));
    }
}

// The same schema and journal settings with hand-written prepared statements, one transaction
// per operation: resolve the four path components, then read or write the value.
class RawStore {
public:
    RawStore() {
        // Let the toolkit make and tag the file, so both work on the same layout.
        path_ = folder_.file("raw.hive");
        {
            platform::SqliteSettingsStore store(path_, path_);
            testing_support::WiredToolkit wired({.settingsStore = &store});
            vemlo::RegWriteString(vemlo::RegRoot::LocalMachine, kKey, kName, kValue);
        }
        sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db_, 5000);
        sqlite3_exec(db_, "PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL", nullptr, nullptr,
                     nullptr);
        sqlite3_prepare_v2(db_, "SELECT id FROM keys WHERE parent=?1 AND folded=?2", -1, &child_,
                           nullptr);
        sqlite3_prepare_v2(db_, "SELECT data FROM vals WHERE key=?1 AND folded=?2", -1, &read_,
                           nullptr);
        sqlite3_prepare_v2(db_,
                           "INSERT INTO vals(key, name, folded, data) VALUES(?1, ?2, ?3, ?4) "
                           "ON CONFLICT(key, folded) DO UPDATE SET data=excluded.data",
                           -1, &write_, nullptr);
    }
    ~RawStore() {
        sqlite3_finalize(child_);
        sqlite3_finalize(read_);
        sqlite3_finalize(write_);
        sqlite3_close(db_);
    }

    long long keyId() {
        long long id = 0;
        for (const char* part : {"software", "vemlo", "lumra-bokforing-service", "timers"}) {
            sqlite3_bind_int64(child_, 1, id);
            sqlite3_bind_text(child_, 2, part, -1, SQLITE_STATIC);
            id = sqlite3_step(child_) == SQLITE_ROW ? sqlite3_column_int64(child_, 0) : -1;
            sqlite3_reset(child_);
        }
        return id;
    }
    std::string read() {
        sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        const long long id = keyId();
        sqlite3_bind_int64(read_, 1, id);
        sqlite3_bind_text(read_, 2, "nextrun", -1, SQLITE_STATIC);
        std::string value;
        if (sqlite3_step(read_) == SQLITE_ROW) {
            value = reinterpret_cast<const char*>(sqlite3_column_text(read_, 0));
        }
        sqlite3_reset(read_);
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        return value;
    }
    bool write(const std::string& value) {
        sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        const long long id = keyId();
        sqlite3_bind_int64(write_, 1, id);
        sqlite3_bind_text(write_, 2, kName.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(write_, 3, "nextrun", -1, SQLITE_STATIC);
        sqlite3_bind_text(write_, 4, value.c_str(), -1, SQLITE_STATIC);
        const bool done = sqlite3_step(write_) == SQLITE_DONE;
        sqlite3_reset(write_);
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        return done;
    }

private:
    testing_support::TempFolder folder_;
    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* child_ = nullptr;
    sqlite3_stmt* read_ = nullptr;
    sqlite3_stmt* write_ = nullptr;
};

void RawSqliteWrite(benchmark::State& state) {
    RawStore raw;
    long long n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(raw.write(Changed(++n)));
    }
}

void RawSqliteRead(benchmark::State& state) {
    RawStore raw;
    for (auto _ : state) {
        benchmark::DoNotOptimize(raw.read());
    }
}

// QSettings in INI format, synced on every call so other processes' changes are seen.
void QSettingsWrite(benchmark::State& state) {
    testing_support::TempFolder folder;
    QSettings settings(QString::fromStdString(folder.file("machine.ini")), QSettings::IniFormat);
    const auto key = QStringLiteral("Lumra-Bokforing-Service/Timers/Nextrun");
    long long n = 0;
    for (auto _ : state) {
        settings.setValue(key, QString::fromStdString(Changed(++n)));
        settings.sync();
    }
}

void QSettingsRead(benchmark::State& state) {
    testing_support::TempFolder folder;
    QSettings settings(QString::fromStdString(folder.file("machine.ini")), QSettings::IniFormat);
    const auto key = QStringLiteral("Lumra-Bokforing-Service/Timers/Nextrun");
    settings.setValue(key, QString::fromStdString(kValue));
    settings.sync();
    for (auto _ : state) {
        settings.sync();
        benchmark::DoNotOptimize(settings.value(key));
    }
}

// Each save changes every configuration's data provider, so that nothing is skipped.
void StoreConfigs(int count, long long round = 0) {
    lumra::TLumraConfigs configs;
    for (int i = 0; i < count; ++i) {
        auto& item = configs.Add();
        item.dataprovider = "klinik" + std::to_string(i) + "." + std::to_string(round) + ".udl";
        item.exportPathBokforing = "/srv/export/klinik" + std::to_string(i) + "/";
        item.exportFilename = "bokf_" + std::to_string(i);
    }
    configs.Save();
}

void ConfigsSave(benchmark::State& state) {
    ToolkitStore fixture;
    long long round = 0;
    for (auto _ : state) {
        StoreConfigs(static_cast<int>(state.range(0)), ++round);
    }
}

// Every sub-key of a key with state.range(0) sub-keys, by index, as vemlo-reg list asks.
void ListSubKeys(benchmark::State& state) {
    ToolkitStore fixture;
    const auto count = static_cast<int>(state.range(0));
    sqlite3* db = nullptr;
    sqlite3_open(fixture.folder.file("machine.hive").c_str(), &db);
    // The rows as the store writes them, made in one go.
    sqlite3_exec(db,
                 ("INSERT INTO keys(parent, name, folded) VALUES(0, 'Many', 'many');"
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
                  std::to_string(count) +
                  ") INSERT INTO keys(parent, name, folded) SELECT (SELECT id FROM keys "
                  "WHERE folded='many'), 'Sub'||i, 'sub'||i FROM n;")
                     .c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    auto& store = fixture.store;
    for (auto _ : state) {
        platform::KeyHandle key = 0;
        store.openKey(platform::Hive::Machine, "Many", key);
        std::string name;
        std::size_t listed = 0;
        while (store.enumSubKey(key, listed, 1025, name) == platform::kSuccess) {
            ++listed;
        }
        store.closeKey(key);
        if (listed != static_cast<std::size_t>(count)) {
            state.SkipWithError("not every sub-key was listed");
        }
    }
}

void ConfigsLoad(benchmark::State& state) {
    ToolkitStore fixture;
    StoreConfigs(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        lumra::TLumraConfigs configs;
        configs.Load();
        benchmark::DoNotOptimize(configs.Count());
    }
}

} // namespace

BENCHMARK(ToolkitRead);
BENCHMARK(RawSqliteRead);
BENCHMARK(QSettingsRead);
BENCHMARK(ToolkitWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawSqliteWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(QSettingsWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(ConfigsSave)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ConfigsLoad)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(ListSubKeys)->Arg(25000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
