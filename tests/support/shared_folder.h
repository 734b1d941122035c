#pragma once

#include <functional>
#include <string>

namespace testing_support {

// A fresh folder that every user may write and nobody may remove another's file from (mode
// 1777, as the machine hive's folder), under /tmp so that the other users of a test can reach
// it; removed with everything in it at the end.
class SharedFolder {
public:
    SharedFolder();
    ~SharedFolder();
    SharedFolder(const SharedFolder&) = delete;
    SharedFolder& operator=(const SharedFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs body in a child process as the user (uid and gid alike) and gives its exit status, or
// -1 when the child did not end normally. For what a user does with the shell's tools: touch,
// ln, chmod, a program of their own on the hive.
int AsUser(int uid, const std::function<int()>& body);

} // namespace testing_support
