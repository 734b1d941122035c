#pragma once

struct sqlite3;

namespace platform {

// Bounds what the connection waits for a lock and how long a statement runs by the innermost
// StoreDeadline, instead of a timeout per statement: an action of many statements waits at most
// one budget in all, and nothing the file holds can keep a process, or the lock, past it. A
// statement stopped so fails with SQLITE_INTERRUPT.
void BoundByDeadline(sqlite3* db);

} // namespace platform
