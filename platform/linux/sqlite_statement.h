#pragma once

#include <sqlite3.h>
#include <string>

namespace platform {

// A prepared statement, reset after each use so it holds no read lock between calls. One that is
// defined is prepared when first used: a program that makes one call of the store should not
// pay for compiling every statement.
class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt_); }

    int prepare(sqlite3* db, const char* sql) {
        define(db, sql);
        return ready() ? SQLITE_OK : rc_;
    }
    void define(sqlite3* db, const char* sql) {
        db_ = db;
        sql_ = sql;
    }
    Statement& bind(int index, long long number) {
        sqlite3_bind_int64(ready(), index, number);
        return *this;
    }
    Statement& bind(int index, const std::string& text) {
        sqlite3_bind_text(ready(), index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    int step() {
        sqlite3_stmt* stmt = ready();
        return stmt ? sqlite3_step(stmt) : rc_;
    }
    long long number(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return data ? std::string(data,
                                  static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }
    // A statement that failed to prepare has nothing to reset.
    void reset() {
        if (stmt_) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }

private:
    sqlite3_stmt* ready() {
        if (!stmt_ && db_) {
            rc_ = sqlite3_prepare_v3(db_, sql_, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
        }
        return stmt_;
    }

    sqlite3* db_ = nullptr;
    const char* sql_ = nullptr;
    int rc_ = SQLITE_MISUSE;
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
