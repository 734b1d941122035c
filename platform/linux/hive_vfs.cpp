#include "platform/linux/hive_vfs.h"

#include "platform/linux/hive_sharing.h"
#include "platform/linux/store_messages.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kVfsName = "vemlo-hive";

sqlite3_vfs* g_Base = nullptr;
sqlite3_vfs g_Vfs;
thread_local std::string g_Problem;

// False, with the problem recorded, when the file at the path may not be used: see RefusalOf.
// lstat neither follows a link nor opens the file, so a FIFO cannot block it.
bool IsAbsentOrUsable(const char* path, const HiveFolder& folder) {
    struct stat info {};
    if (!path || ::lstat(path, &info) != 0) {
        return true;
    }
    const auto why = RefusalOf(info, folder);
    if (why.empty()) {
        return true;
    }
    g_Problem = About(path, why);
    return false;
}

// A file that exists is opened without O_CREAT: with fs.protected_regular, that would fail on
// a file of the folder's owner's in a sticky folder. A missing one is created exclusively, and
// only by whom the folder lets.
int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    if (name) {
        const auto folder = FolderOf(name);
        const auto refuse = [&](const std::string& why) {
            if (!why.empty()) {
                g_Problem = About(name, why);
            }
            file->pMethods = nullptr;
            return SQLITE_CANTOPEN;
        };
        // No store writes a super-journal; one named in a crafted journal would be read and then
        // deleted, wherever it lies.
        if (flags & SQLITE_OPEN_SUPER_JOURNAL) {
            return refuse("is named as a super-journal by a journal, but no store has one; it is "
                          "not used.");
        }
        if (!IsAbsentOrUsable(name, folder)) {
            return refuse({});
        }
        // A WAL index would be made by whoever opens the WAL first, with O_CREAT.
        if ((flags & SQLITE_OPEN_WAL) && !folder.mayCreate()) {
            return refuse(WalNotAllowed());
        }
        struct stat info {};
        if (::lstat(name, &info) == 0) {
            flags &= ~(SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE);
        } else if (flags & SQLITE_OPEN_CREATE) {
            if (const auto why = CreationRefusal(folder); !why.empty()) {
                return refuse(why);
            }
            flags |= SQLITE_OPEN_EXCLUSIVE;
        }
    }
    return g_Base->xOpen(g_Base, name, file, flags, outFlags);
}

// SQLite looks for a journal and a WAL and takes an empty file for none: an empty file planted
// there changes nothing and is not refused. Anything else it looks for is a super-journal named
// in a journal, which no store writes: absent, so that the journal is taken for a finished one.
int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
    if (flags == SQLITE_ACCESS_EXISTS && name && !std::string_view(name).ends_with("-journal") &&
        !std::string_view(name).ends_with("-wal")) {
        *result = 0;
        return SQLITE_OK;
    }
    struct stat info {};
    if (flags == SQLITE_ACCESS_EXISTS && name && ::lstat(name, &info) == 0 &&
        S_ISREG(info.st_mode) && info.st_size == 0) {
        *result = 0;
        return SQLITE_OK;
    }
    if (!IsAbsentOrUsable(name, FolderOf(name))) {
        *result = 0;
        return SQLITE_IOERR_ACCESS;
    }
    return g_Base->xAccess(g_Base, name, flags, result);
}

// Truncating keeps the file and its owner but leaves nothing to roll back. Only a file that may
// be used is emptied: a second name of the hive planted as its journal is not.
int EmptyInstead(const char* name) {
    const int fd = ::open(name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? SQLITE_IOERR_DELETE_NOENT : SQLITE_IOERR_DELETE;
    }
    struct stat info {};
    int rc = SQLITE_IOERR_DELETE;
    if (::fstat(fd, &info) == 0) {
        if (const auto why = RefusalOf(info, FolderOf(name)); !why.empty()) {
            g_Problem = About(name, why);
        } else if (::ftruncate(fd, 0) == 0 && ::fsync(fd) == 0) {
            rc = SQLITE_OK;
        }
    }
    ::close(fd);
    return rc;
}

// The journal is never removed, so that nobody but its first creator, the folder's owner, ever
// owns it.
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    if (std::string_view(name).ends_with("-journal")) {
        return EmptyInstead(name);
    }
    return g_Base->xDelete(g_Base, name, syncDir);
}

sqlite3_vfs* Register() {
    g_Base = sqlite3_vfs_find(nullptr);
    g_Vfs = *g_Base;
    g_Vfs.zName = kVfsName;
    g_Vfs.pNext = nullptr;
    g_Vfs.xOpen = Open;
    g_Vfs.xDelete = Delete;
    g_Vfs.xAccess = Access;
    sqlite3_vfs_register(&g_Vfs, 0);
    return &g_Vfs;
}

} // namespace

const char* HiveVfsName() {
    static const sqlite3_vfs* registered = Register();
    return registered->zName;
}

std::string TakeHiveVfsProblem() {
    std::string problem;
    problem.swap(g_Problem);
    return problem;
}

} // namespace platform
