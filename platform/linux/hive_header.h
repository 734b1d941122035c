#pragma once

#include <string>

namespace platform {

// Whether the file at the path starts with an SQLite header that fits its length, read before
// SQLite opens the file, so that a foreign file (with a journal planted beside it) is never
// changed. A process that commits meanwhile may have written a larger size into the header
// before the pages it adds: while the size and the length disagree so, the header is read again
// until the innermost store deadline. A file that cannot be opened passes, for the open itself
// to report.
bool HasStoreHeader(const std::string& path);

} // namespace platform
