#include "platform/linux/hive_sharing.h"

#include "platform/linux/store_messages.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <unistd.h>

namespace platform {

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISLNK(mode)) {
        return "a symbolic link";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    return "not a regular file";
}

std::string SetUpAdvice(const HiveFolder& folder) {
    return std::string("; it is not used: '") + kSetUpCommand +
           "' run by the owner of its folder (uid " + std::to_string(folder.owner) +
           ") takes it over.";
}

} // namespace

bool HiveFolder::mayCreate() const {
    return !shared || ownedByCaller();
}

bool HiveFolder::ownedByCaller() const {
    return ::geteuid() == owner;
}

HiveFolder FolderOf(const std::string& file) {
    auto folder = std::filesystem::path(file).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return {true, 0};
    }
    const bool othersWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    return {(info.st_mode & S_ISVTX) != 0 && othersWrite, info.st_uid};
}

std::string RefusalOf(const struct stat& info, const HiveFolder& folder) {
    if (!S_ISREG(info.st_mode)) {
        return std::string("is ") + KindOf(info.st_mode) + ", not a regular file; remove it.";
    }
    if (!folder.shared) {
        return {};
    }
    if (info.st_nlink != 1) {
        return "has " + std::to_string(info.st_nlink) +
               " links (another name reaches the same file)" + SetUpAdvice(folder);
    }
    if (info.st_uid != folder.owner) {
        return "belongs to uid " + std::to_string(info.st_uid) +
               ", not to the owner of its shared folder" + SetUpAdvice(folder);
    }
    return {};
}

std::string CreationRefusal(const HiveFolder& folder) {
    if (folder.mayCreate()) {
        return {};
    }
    return "is missing, and only the owner of its shared folder (uid " +
           std::to_string(folder.owner) + ") may create it: run '" + kSetUpCommand +
           "' as that user.";
}

std::string UseOrCreateHive(const std::string& hive, const HiveFolder& folder, mode_t mode,
                            const std::function<std::string(const std::string&)>& makeStore) {
    struct stat info {};
    if (::lstat(hive.c_str(), &info) == 0) {
        return RefusalOf(info, folder);
    }
    if (errno != ENOENT) {
        return std::string("cannot be examined: ") + std::strerror(errno) + ".";
    }
    if (auto why = CreationRefusal(folder); !why.empty()) {
        return why;
    }
    std::string made = hive + ".new-XXXXXX";
    const int fd = ::mkostemp(made.data(), O_CLOEXEC);
    if (fd < 0) {
        return std::string("cannot be created: ") + std::strerror(errno) + ".";
    }
    ::fchmod(fd, mode);
    auto why = makeStore(made);
    if (why.empty() && ::fsync(fd) != 0) {
        why = std::strerror(errno);
    }
    ::close(fd);
    if (why.empty() &&
        ::renameat2(AT_FDCWD, made.c_str(), AT_FDCWD, hive.c_str(), RENAME_NOREPLACE) != 0 &&
        errno != EEXIST) {
        why = std::strerror(errno);
    }
    ::unlink(made.c_str()); // still there only when it did not become the hive
    if (!why.empty()) {
        return "cannot be created: " + why + ".";
    }
    const int journal = ::open((hive + "-journal").c_str(),
                               O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (journal >= 0) {
        ::fchmod(journal, mode);
        ::close(journal);
    } else if (errno != EEXIST) {
        return std::string("cannot be created: its journal: ") + std::strerror(errno) + ".";
    }
    // Another process may have created it meanwhile: what is there now is what counts.
    if (::lstat(hive.c_str(), &info) != 0) {
        return std::string("cannot be examined: ") + std::strerror(errno) + ".";
    }
    return RefusalOf(info, folder);
}

std::string WalNotAllowed() {
    return std::string("uses WAL, which a shared folder allows only its owner: run '") +
           kSetUpCommand + "' as that user.";
}

std::string WalRefusal(const std::string& hive, const HiveFolder& folder) {
    const auto wal = hive + "-wal";
    struct stat info {};
    if (::lstat(wal.c_str(), &info) == 0) {
        if (const auto why = RefusalOf(info, folder); !why.empty()) {
            return About(wal, why);
        }
    }
    return folder.ownedByCaller() ? std::string() : About(hive, WalNotAllowed());
}

bool UsesWal(const std::string& hive) {
    // SQLite, too, takes an empty WAL file for none.
    struct stat info {};
    if (::lstat((hive + "-wal").c_str(), &info) == 0 &&
        (!S_ISREG(info.st_mode) || info.st_size > 0)) {
        return true;
    }
    // Bytes 18 and 19 of the header: the file format versions for writing and reading, 2 for WAL.
    unsigned char header[20] = {};
    const int fd = ::open(hive.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool read = ::read(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header);
    ::close(fd);
    return read && (header[18] == 2 || header[19] == 2);
}

std::string LeaveWal(sqlite3* db) {
    std::string mode;
    const auto run = [&](const char* sql) {
        return sqlite3_exec(
            db, sql,
            [](void* out, int, char** values, char**) {
                *static_cast<std::string*>(out) = values[0] ? values[0] : "";
                return 0;
            },
            &mode, nullptr);
    };
    // A read first: SQLite takes up WAL only when it first reads, and a switch before that would
    // not leave it.
    int rc = SQLITE_OK;
    for (const char* sql : {"PRAGMA locking_mode=EXCLUSIVE", "SELECT count(*) FROM sqlite_schema",
                            "PRAGMA journal_mode=TRUNCATE"}) {
        if (rc == SQLITE_OK) {
            rc = run(sql);
        }
    }
    const std::string journalMode = mode;
    // The exclusive lock ends with the next access after the mode is back to normal.
    run("PRAGMA locking_mode=NORMAL");
    run("SELECT count(*) FROM sqlite_schema");
    if (rc != SQLITE_OK) {
        return sqlite3_errstr(rc);
    }
    return journalMode == "truncate" ? std::string() : "it stays in " + journalMode + " mode";
}

} // namespace platform
