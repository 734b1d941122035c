#include "platform/memory/scripted_connection.h"

namespace platform {

void ScriptedConnection::step(const char* name, std::deque<std::string>& failures) {
    if (failures.empty()) {
        steps_.emplace_back(name);
        return;
    }
    steps_.push_back(std::string(name) + " failed");
    const auto message = std::move(failures.front());
    failures.pop_front();
    throw DatabaseError(message);
}

void ScriptedConnection::open() {
    step("open", openFailures_);
    connected_ = true;
}

void ScriptedConnection::close() {
    step("close", closeFailures_);
    connected_ = false;
}

void ScriptedConnection::BeginTrans() {
    if (!connected_) {
        steps_.emplace_back("begin failed");
        throw DatabaseError("The connection is closed");
    }
    step("begin", beginFailures_);
    ++transactions_;
}

} // namespace platform
