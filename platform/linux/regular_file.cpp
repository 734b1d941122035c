#include "platform/linux/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string SystemText(int error) {
    return std::generic_category().message(error);
}

// Closes the descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now; the close's own error, which a full disk may give, 0 when none.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file beside the path, under a name nobody else can have made ready for us.
int CreateBeside(const std::string& path, std::string& created) {
    std::random_device random;
    const auto place = std::filesystem::path(path);
    for (int attempt = 0; attempt < 16; ++attempt) {
        created = (place.parent_path() /
                   ("." + place.filename().string() + "." + std::to_string(random()) + ".tmp"))
                      .string();
        const int fd =
            ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

} // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    RegularFileRead read;
    // Non-blocking: opening a FIFO for reading must not wait for a writer.
    const Descriptor file(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ENOENT) {
            read.missing = true;
        } else if (error == ELOOP) {
            read.refusal = "den är en symbolisk länk";
        } else {
            read.refusal = "den kan inte läsas (" + SystemText(error) + ")";
        }
        return read;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        read.refusal = "den är ingen vanlig fil";
        return read;
    }
    const auto tooBig = "den är större än " + std::to_string(maxBytes / 1024) + " kB";
    if (static_cast<std::size_t>(status.st_size) > maxBytes) {
        read.refusal = tooBig;
        return read;
    }
    // The file may grow while it is read: never more than the limit is taken in.
    char buffer[4096];
    while (true) {
        const auto got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            read.refusal = "den kan inte läsas (" + SystemText(errno) + ")";
            read.bytes.clear();
            return read;
        }
        if (got == 0) {
            return read;
        }
        read.bytes.append(buffer, static_cast<std::size_t>(got));
        if (read.bytes.size() > maxBytes) {
            read.refusal = tooBig;
            read.bytes.clear();
            return read;
        }
    }
}

std::string ReplaceWithRegularFile(const std::string& path, std::string_view bytes) {
    std::string created;
    Descriptor file(CreateBeside(path, created));
    if (file.get() < 0) {
        return "en ny fil kan inte skapas bredvid den (" + SystemText(errno) + ")";
    }
    const auto fail = [&](int error) {
        ::unlink(created.c_str());
        return "den kan inte skrivas (" + SystemText(error) + ")";
    };
    struct stat old {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(file.get(), old.st_mode & 0777) != 0) {
        return fail(errno);
    }
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0) {
        return fail(errno);
    }
    if (const int error = file.close()) {
        return fail(error);
    }
    if (::rename(created.c_str(), path.c_str()) != 0) {
        return fail(errno);
    }
    return {};
}

} // namespace platform
