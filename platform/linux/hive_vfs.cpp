#include "platform/linux/hive_vfs.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr const char* kVfsName = "vemlo-hive";

sqlite3_vfs* g_Base = nullptr;
sqlite3_vfs g_Vfs;
thread_local std::string g_Problem;

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

// False, with the problem recorded, when something other than a regular file is at the path.
// lstat neither follows a link nor opens the file, so a FIFO cannot block it.
bool IsAbsentOrRegular(const char* path) {
    struct stat info {};
    if (!path || ::lstat(path, &info) != 0 || S_ISREG(info.st_mode)) {
        return true;
    }
    g_Problem = std::string("The settings store file '") + path + "' is " + KindOf(info.st_mode) +
                ", not a regular file; remove it.";
    return false;
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    if (!IsAbsentOrRegular(name)) {
        file->pMethods = nullptr;
        return SQLITE_CANTOPEN;
    }
    return g_Base->xOpen(g_Base, name, file, flags, outFlags);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
    if (!IsAbsentOrRegular(name)) {
        *result = 0;
        return SQLITE_IOERR_ACCESS;
    }
    return g_Base->xAccess(g_Base, name, flags, result);
}

// Truncating keeps the file and its owner but leaves nothing to roll back.
bool EmptyInstead(const char* name) {
    const int fd = ::open(name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool emptied = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                         ::ftruncate(fd, 0) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    return emptied;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    const int rc = g_Base->xDelete(g_Base, name, syncDir);
    if (rc == SQLITE_IOERR_DELETE && EmptyInstead(name)) {
        return SQLITE_OK;
    }
    return rc;
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
