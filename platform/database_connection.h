#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace platform {

// An error of the database layer; its message is the text the user is shown.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A database connection component. Name and Tag are the component's own; opening, closing and
// transactions go to the database layer behind it, which throws DatabaseError when they fail.
class TADOConnection {
public:
    TADOConnection(std::string name, std::string connectionString)
        : name_(std::move(name))
        , connectionString_(std::move(connectionString)) {}
    virtual ~TADOConnection() = default;
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    const std::string& Name() const { return name_; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    const std::string& ConnectionString() const { return connectionString_; }

    virtual bool Connected() const = 0;
    // True opens the connection, false closes it; the present value does nothing.
    void SetConnected(bool connected) {
        if (connected != Connected()) {
            connected ? open() : close();
        }
    }
    // Starts a transaction on the open connection.
    virtual void BeginTrans() = 0;

protected:
    virtual void open() = 0;
    virtual void close() = 0;

private:
    std::string name_;
    std::string connectionString_;
    int tag_ = 0;
};

} // namespace platform
