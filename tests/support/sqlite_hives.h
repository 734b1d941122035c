#pragma once

#include "platform/linux/sqlite_settings_store.h"
#include "tests/support/toolkit_fixture.h"

#include <memory>
#include <string>

namespace testing_support {

// Two hive files in a fresh temporary folder and a SQLite store open on them, wired into the
// toolkit in place of the twins' memory store.
class SqliteHives {
public:
    // The hives' paths inside the folder; one name for both is one file for both.
    explicit SqliteHives(const std::string& userHive = "user.hive",
                         const std::string& machineHive = "machine.hive");
    SqliteHives(const SqliteHives&) = delete;
    SqliteHives& operator=(const SqliteHives&) = delete;

    const std::string& userHive() const { return userHive_; }
    const std::string& machineHive() const { return machineHive_; }
    // The machine hive elsewhere, a shared folder's for example, from the next reopen() on.
    void placeMachineHive(const std::string& path) { machineHive_ = path; }
    // Closes the store and opens it anew on the hives, as the next program would, wired in.
    void reopen();

    TempFolder folder;
    ToolkitTwins twins;
    std::unique_ptr<platform::SqliteSettingsStore> store;

private:
    std::string userHive_;
    std::string machineHive_;
};

} // namespace testing_support
