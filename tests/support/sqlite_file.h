#pragma once

#include <string>

struct sqlite3;

namespace testing_support {

// SQLite's own integrity check of a file, opened read-only: "ok" when sound.
std::string IntegrityCheck(const std::string& path);

// Another connection holding a file's exclusive lock until release, as a crashed or slow
// process would.
class HeldLock {
public:
    explicit HeldLock(const std::string& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    void release();

private:
    sqlite3* db_ = nullptr;
};

} // namespace testing_support
