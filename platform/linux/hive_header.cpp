#include "platform/linux/hive_header.h"

#include "platform/store_deadline.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

enum class Header { Store, Foreign, Growing };

// The header's magic, and a file as long as the header says, when the header's size is valid:
// a check whose cost does not grow with the file.
Header ReadHeader(const std::string& path) {
    static constexpr char kMagic[] = "SQLite format 3";
    unsigned char header[100] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Header::Store; // let the open report the permission problem
    }
    const auto got = ::read(fd, header, sizeof header);
    struct stat info {};
    const bool sized = ::fstat(fd, &info) == 0;
    ::close(fd);
    if (got != static_cast<ssize_t>(sizeof header)) {
        // The first page of a store being written for the first time, seen half.
        const bool partial =
            got > 0 &&
            std::memcmp(header, kMagic,
                        static_cast<std::size_t>(std::min<ssize_t>(got, sizeof kMagic))) == 0;
        return partial ? Header::Growing : Header::Foreign;
    }
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        return Header::Foreign;
    }
    const auto number = [&](int at) {
        return (std::uint32_t{header[at]} << 24) | (std::uint32_t{header[at + 1]} << 16) |
               (std::uint32_t{header[at + 2]} << 8) | header[at + 3];
    };
    const std::uint32_t pageSize =
        header[16] == 0 && header[17] == 1 ? 65536u : (std::uint32_t{header[16]} << 8) | header[17];
    // The size in pages counts only while the change counter matches its "valid for" number.
    const bool sizeValid = number(24) == number(92) && number(28) > 0;
    const bool fits = !sized || !sizeValid ||
                      static_cast<std::uint64_t>(info.st_size) >=
                          static_cast<std::uint64_t>(number(28)) * pageSize;
    return fits ? Header::Store : Header::Growing;
}

} // namespace

bool HasStoreHeader(const std::string& path) {
    constexpr auto kPause = std::chrono::milliseconds(2);
    while (true) {
        const Header header = ReadHeader(path);
        if (header != Header::Growing || StoreDeadline::Passed()) {
            return header == Header::Store;
        }
        std::this_thread::sleep_for(kPause);
    }
}

} // namespace platform
