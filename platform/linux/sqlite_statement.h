#pragma once

#include <sqlite3.h>
#include <string>

namespace platform {

// A prepared statement, reset after each use so it holds no read lock between calls.
class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt_); }

    int prepare(sqlite3* db, const char* sql) {
        return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    }
    Statement& bind(int index, long long number) {
        sqlite3_bind_int64(stmt_, index, number);
        return *this;
    }
    Statement& bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return sqlite3_step(stmt_); }
    long long number(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return data ? std::string(data,
                                  static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement when the scope ends, whatever path leaves it.
class Use {
public:
    explicit Use(Statement& statement)
        : statement_(statement) {}
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    ~Use() { statement_.reset(); }
    Statement* operator->() { return &statement_; }

private:
    Statement& statement_;
};

} // namespace platform
