#include "tests/support/sqlite_hives.h"

namespace testing_support {

SqliteHives::SqliteHives(const std::string& userHive, const std::string& machineHive)
    : userHive_(folder.file(userHive))
    , machineHive_(folder.file(machineHive)) {
    reopen();
}

void SqliteHives::reopen() {
    store.reset();
    store = std::make_unique<platform::SqliteSettingsStore>(userHive_, machineHive_);
    twins.useStore(*store);
}

} // namespace testing_support
