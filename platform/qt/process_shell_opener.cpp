#include "platform/qt/process_shell_opener.h"

#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

bool EndsWithUdl(const std::string& path) {
    constexpr std::string_view kExtension = ".udl";
    if (path.size() < kExtension.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kExtension.size(); ++i) {
        const char c = path[path.size() - kExtension.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kExtension[i]) {
            return false;
        }
    }
    return true;
}

// Starts the program with one argument, byte for byte (a file name need not be UTF-8, and Qt's
// process arguments are text), in the folder. It runs as a grandchild that the system adopts,
// so nothing waits for it or is left behind. False when it could not be started: the exec's
// error comes back through a pipe that a successful exec closes.
bool StartDetached(const std::string& program, const std::string& argument,
                   const std::string& folder) {
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                            nullptr};
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // Only async-signal-safe calls from here: the parent has threads.
        ::close(report[0]);
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            if (::chdir(folder.c_str()) == 0) {
                ::execv(program.c_str(), argv.data());
            }
            const int error = errno;
            [[maybe_unused]] const auto written = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(grandchild > 0 ? 0 : 1);
    }
    ::close(report[1]);
    int status = 1;
    if (child > 0) {
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    int error = 0;
    ssize_t got = 0;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    return child > 0 && got == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

ProcessShellOpener::ProcessShellOpener(std::string dataLinkEditor)
    : dataLinkEditor_(std::move(dataLinkEditor)) {}

bool ProcessShellOpener::open(const std::string& file, const std::string& workingFolder) {
    // Absolute, so that a name beginning with "-" is never taken for an option.
    std::error_code error;
    const auto path =
        std::filesystem::absolute(std::filesystem::path(workingFolder) / file, error).string();
    if (error) {
        return false;
    }
    const auto program =
        EndsWithUdl(path)
            ? dataLinkEditor_
            : QStandardPaths::findExecutable(QStringLiteral("xdg-open")).toStdString();
    return !program.empty() && StartDetached(program, path, workingFolder);
}

} // namespace platform
