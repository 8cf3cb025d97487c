#pragma once

#include <sqlite3.h>
#include <string>

// RAII over a sqlite3 connection and a prepared statement.
class SqliteDb
{
public:
    SqliteDb() = default;
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;
    ~SqliteDb() { Close(); }

    // Throws StoreError naming the file.
    void Open(const std::string& path, int flags);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* Handle() const { return db_; }
    const std::string& Path() const { return path_; }
    // Runs statements that take no parameters and return nothing.
    void Exec(const std::string& sql) const;
    std::string LastError() const;

private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

class Statement
{
public:
    Statement(const SqliteDb& db, const std::string& sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // True while a row is available; throws StoreError on failure.
    bool Step();
    // Steps once and returns SQLite's (extended) result code, for callers that tell
    // failures apart; the message is then the connection's LastError().
    int Run();
    void Reset();
    sqlite3_stmt* Handle() const { return stmt_; }
    void BindText(int index, const std::string& text);
    void BindInt(int index, long long value);
    void BindNull(int index);
    std::string ColumnText(int index) const;

private:
    const SqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
};
