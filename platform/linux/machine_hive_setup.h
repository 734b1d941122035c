#pragma once

#include <string>
#include <vector>

namespace platform {

struct HiveSetUp {
    bool done = false;
    // What was changed on the way, one sentence each: files taken over or renamed aside.
    std::vector<std::string> changes;
    // Why it was not done, when it was not.
    std::string problem;
};

// Sets the machine hive up in its shared folder, as the folder's owner (root for the machine
// hive): the folder (mode 1777 when it is made here), the hive with its schema and its journal,
// all the owner's. A hive that a user created before is taken over, not replaced: its journal
// is rolled back, its files checked (regular, one name, opened without following links) and
// given to the folder's owner with their contents; one with more than one name is copied to a
// file of its own (the hive's own second name in the journal's place only loses that name).
// What is not a store, or not a regular file, is renamed aside, never deleted.
// Running it again changes nothing.
HiveSetUp SetUpSharedHive(const std::string& hive);

} // namespace platform
