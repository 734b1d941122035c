#include "platform/linux/machine_hive_setup.h"

#include "platform/linux/hive_file.h"
#include "platform/linux/hive_sharing.h"
#include "platform/store_deadline.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr mode_t kSharedFileMode = 0666;

std::string Errno(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Renames the file to "<name>.aside-<time>" without replacing anything; its new name, or "".
std::string Aside(const std::string& name) {
    char stamp[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
    for (int n = 0; n < 100; ++n) {
        const auto to = name + ".aside-" + stamp + (n ? "-" + std::to_string(n) : "");
        if (::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return to;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

// Copies the file's first `size` bytes with its holes kept: a user's sparse file of a terabyte
// costs a few blocks, and so must its copy.
bool CopyKeepingHoles(int from, int to, off_t size) {
    if (::ftruncate(to, size) != 0) {
        return false;
    }
    char buffer[1 << 16];
    off_t at = ::lseek(from, 0, SEEK_DATA);
    while (at >= 0 && at < size) {
        const off_t hole = std::min<off_t>(::lseek(from, at, SEEK_HOLE), size);
        if (hole < 0) {
            return false;
        }
        while (at < hole) {
            const auto want = static_cast<std::size_t>(std::min<off_t>(hole - at, sizeof buffer));
            const ssize_t got = ::pread(from, buffer, want, at);
            if (got <= 0 || ::pwrite(to, buffer, static_cast<std::size_t>(got), at) != got) {
                return false;
            }
            at += got;
        }
        at = ::lseek(from, at, SEEK_DATA);
    }
    return at >= 0 || errno == ENXIO;
}

class SetUp {
public:
    explicit SetUp(const std::string& hive)
        : hive_(hive) {}

    HiveSetUp run() {
        if (!folderIsOurs()) {
            return result_;
        }
        for (const char* suffix : {"-journal", "-wal", "-shm"}) {
            takeOver(hive_ + suffix, false);
        }
        takeOver(hive_, true);
        if (!result_.problem.empty()) {
            return result_;
        }
        Status status = check();
        if (status == kBadDatabase && putAside(hive_, "is not a store")) {
            status = check();
        }
        if (status == kSuccess) {
            makeJournal();
        }
        result_.done = status == kSuccess && result_.problem.empty();
        return result_;
    }

private:
    bool folderIsOurs() {
        const auto folder = std::filesystem::path(hive_).parent_path();
        if (::mkdir(folder.c_str(), 01777) == 0) {
            const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0) {
                ::fchmod(fd, 01777); // whatever the umask
                ::close(fd);
            }
        } else if (errno != EEXIST) {
            result_.problem = Errno("cannot create the folder '" + folder.string() + "'");
            return false;
        }
        struct stat info {};
        if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            result_.problem = "'" + folder.string() + "' is not a folder";
            return false;
        }
        if (info.st_uid != ::geteuid()) {
            result_.problem = "only the owner of '" + folder.string() + "' (uid " +
                              std::to_string(info.st_uid) + ") can set the hive up";
            return false;
        }
        return true;
    }

    bool putAside(const std::string& name, const std::string& why) {
        const auto to = Aside(name);
        if (to.empty()) {
            result_.problem = Errno("'" + name + "' " + why + " and cannot be renamed aside");
            return false;
        }
        result_.changes.push_back("'" + name + "' " + why + ": renamed to '" + to + "'");
        return true;
    }

    // Checks the file, then gives it to this process's user, the folder's owner, with its
    // contents kept.
    void takeOver(const std::string& name, bool isHive) {
        struct stat seen {};
        if (::lstat(name.c_str(), &seen) != 0) {
            return;
        }
        if (!S_ISREG(seen.st_mode)) {
            putAside(name, "is not a regular file");
            return;
        }
        const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            result_.problem = Errno("cannot open '" + name + "'");
        } else if (info.st_nlink != 1) {
            const auto why = "had " + std::to_string(info.st_nlink) + " names";
            // A second name of the hive itself is no journal; anything else keeps its contents,
            // a hot journal its rollback.
            struct stat hive {};
            if (!isHive && ::lstat(hive_.c_str(), &hive) == 0 && hive.st_dev == info.st_dev &&
                hive.st_ino == info.st_ino) {
                removeName(name);
            } else {
                copyAlone(fd, name, why);
            }
        } else if (info.st_uid != ::geteuid()) {
            if (::fchown(fd, ::geteuid(), ::getegid()) != 0 || ::fchmod(fd, kSharedFileMode) != 0) {
                result_.problem = Errno("cannot take '" + name + "' over");
            } else {
                result_.changes.push_back("'" + name + "' taken over from uid " +
                                          std::to_string(info.st_uid));
            }
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }

    // Only a name goes: the file stays with the hive's.
    void removeName(const std::string& name) {
        if (::unlink(name.c_str()) != 0) {
            result_.problem = Errno("cannot remove '" + name + "'");
            return;
        }
        result_.changes.push_back("'" + name + "' was a second name of the hive: removed");
    }

    // A file that other names reach gets a file of its own with the same contents; the old file
    // keeps only its other names.
    void copyAlone(int from, const std::string& name, const std::string& why) {
        std::string copy = name + ".new-XXXXXX";
        const int to = ::mkostemp(copy.data(), O_CLOEXEC);
        if (to < 0) {
            result_.problem = Errno("cannot copy '" + name + "'");
            return;
        }
        struct stat info {};
        const bool copied = ::fchmod(to, kSharedFileMode) == 0 && ::fstat(from, &info) == 0 &&
                            CopyKeepingHoles(from, to, info.st_size) && ::fsync(to) == 0;
        ::close(to);
        if (!copied || ::rename(copy.c_str(), name.c_str()) != 0) {
            result_.problem = Errno("cannot copy '" + name + "'");
            ::unlink(copy.c_str());
            return;
        }
        result_.changes.push_back("'" + name + "' " + why + ": its contents were copied to a " +
                                  "file of its own");
    }

    // Opening through the store rolls a hot journal back, leaves WAL and makes the schema. A
    // user holding the hive's lock must not hold the set-up (and the package's postinst) too.
    Status check() {
        const StoreDeadline deadline;
        HiveFile file(hive_, true);
        std::string detail;
        const Status status = file.problem(detail);
        if (status != kSuccess && status != kBadDatabase) {
            result_.problem = detail;
        }
        return status;
    }

    void makeJournal() {
        const auto journal = hive_ + "-journal";
        const int fd = ::open(journal.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              kSharedFileMode);
        if (fd >= 0) {
            ::fchmod(fd, kSharedFileMode);
            ::close(fd);
        } else if (errno != EEXIST) {
            result_.problem = Errno("cannot create '" + journal + "'");
        }
    }

    std::string hive_;
    HiveSetUp result_;
};

} // namespace

HiveSetUp SetUpSharedHive(const std::string& hive) {
    return SetUp(hive).run();
}

} // namespace platform
