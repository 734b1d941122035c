#include "platform/linux/sqlite_settings_store.h"
#include "tests/platform/store_contract.h"
#include "tests/support/toolkit_fixture.h"

namespace testing_support {

namespace {

// Two hive files in a temporary folder.
class SqliteSandbox final : public StoreSandbox {
public:
    std::unique_ptr<platform::SettingsStore> open() override {
        return std::make_unique<platform::SqliteSettingsStore>(
            folder_.file("user/user.hive"), folder_.file("machine/machine.hive"));
    }

private:
    TempFolder folder_;
};

} // namespace

std::vector<StoreBackend> ContractBackends() {
    return {{"Sqlite",
             []() -> std::unique_ptr<StoreSandbox> { return std::make_unique<SqliteSandbox>(); },
             ListOrder::LowerFolded, ListOrder::LowerFolded},
            MemoryBackend()};
}

} // namespace testing_support
