#pragma once

#include "platform/database_connection.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

// A connection that opens, closes and begins transactions as the test has told it, and records
// each step ("open", "close", "begin"; a failed step gets " failed").
class ScriptedConnection final : public TADOConnection {
public:
    ScriptedConnection(std::string name, std::string connectionString, bool connected = false)
        : TADOConnection(std::move(name), std::move(connectionString))
        , connected_(connected) {}

    bool Connected() const override { return connected_; }
    void BeginTrans() override;

    // The coming openings, closings or transaction starts fail with the message, in order.
    void failNextOpen(std::string message) { openFailures_.push_back(std::move(message)); }
    void failNextClose(std::string message) { closeFailures_.push_back(std::move(message)); }
    void failNextBegin(std::string message) { beginFailures_.push_back(std::move(message)); }

    const std::vector<std::string>& steps() const { return steps_; }
    int transactions() const { return transactions_; }

protected:
    void open() override;
    void close() override;

private:
    // Records the step and throws the next scripted failure of it, if there is one.
    void step(const char* name, std::deque<std::string>& failures);

    bool connected_;
    int transactions_ = 0;
    std::deque<std::string> openFailures_;
    std::deque<std::string> closeFailures_;
    std::deque<std::string> beginFailures_;
    std::vector<std::string> steps_;
};

} // namespace platform
