#include "tests/support/child_process.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

// Copies of programs for other users, one folder for the whole test process, under /tmp (which
// every user may enter, whatever TMPDIR says); removed when the process ends.
class ReachableCopies {
public:
    ~ReachableCopies() {
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }

    // The copy's path, or "" with the reason in problem.
    std::string of(const std::string& program, std::string& problem) {
        if (const auto it = copies_.find(program); it != copies_.end()) {
            return it->second;
        }
        if (folder_.empty()) {
            char pattern[] = "/tmp/vemlo-programs-XXXXXX";
            if (!::mkdtemp(pattern) || ::chmod(pattern, 0755) != 0) {
                problem = std::string("cannot make a folder for programs under /tmp: ") +
                          std::strerror(errno);
                return {};
            }
            folder_ = pattern;
        }
        // A folder of its own for each copy: programs of the same name from two folders keep
        // their names.
        const auto into = folder_ / std::to_string(copies_.size());
        const auto copy = into / std::filesystem::path(program).filename();
        std::error_code error;
        std::filesystem::create_directory(into, error);
        if (!error) {
            std::filesystem::permissions(into, std::filesystem::perms(0755),
                                         std::filesystem::perm_options::replace, error);
        }
        if (!error) {
            std::filesystem::copy_file(program, copy, error);
        }
        if (!error) {
            std::filesystem::permissions(copy, std::filesystem::perms(0755),
                                         std::filesystem::perm_options::replace, error);
        }
        if (error) {
            problem = "cannot copy " + program + " to " + copy.string() + ": " + error.message();
            return {};
        }
        return copies_.emplace(program, copy.string()).first->second;
    }

private:
    std::filesystem::path folder_;
    std::map<std::string, std::string> copies_;
};

ReachableCopies g_Copies;

} // namespace

std::string ReachableCopy(const std::string& program, std::string& problem) {
    return g_Copies.of(program, problem);
}

Child StartChild(const std::vector<std::string>& args, int uid) {
    std::string problem;
    auto argv0 = args.at(0);
    if (uid >= 0) {
        argv0 = ReachableCopy(argv0, problem);
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        const auto cannot = [&](const std::string& why) {
            const auto line =
                "cannot start " + args[0] + " as uid " + std::to_string(uid) + ": " + why + "\n";
            [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, line.data(), line.size());
            ::_exit(127);
        };
        if (!problem.empty()) {
            cannot(problem);
        }
        if (uid >= 0 && !BecomeUser(uid)) {
            cannot(std::string("cannot switch to the user: ") + std::strerror(errno));
        }
        std::vector<char*> argv{argv0.data()};
        for (std::size_t i = 1; i < args.size(); ++i) {
            argv.push_back(const_cast<char*>(args[i].c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        cannot(argv0 + ": " + std::strerror(errno));
    }
    ::close(fds[1]);
    return {pid, ::fdopen(fds[0], "r")};
}

bool BecomeUser(int uid) {
    return ::setgroups(0, nullptr) == 0 && ::setgid(static_cast<gid_t>(uid)) == 0 &&
           ::setuid(static_cast<uid_t>(uid)) == 0;
}

std::string ProgramBesideTest(const std::string& name) {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

std::string ReadAll(Child& child) {
    std::string output;
    char line[4096];
    while (child.out && std::fgets(line, sizeof line, child.out)) {
        output += line;
    }
    if (child.out) {
        std::fclose(child.out);
        child.out = nullptr;
    }
    return output;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

Finished RunChild(const std::vector<std::string>& args, int uid) {
    auto child = StartChild(args, uid);
    Finished finished;
    finished.output = ReadAll(child);
    const int status = Wait(child.pid);
    finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

} // namespace testing_support
