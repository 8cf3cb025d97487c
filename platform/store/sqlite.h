#pragma once

#include "platform/store/driver.h"

#include <sqlite3.h>
#include <string>

// RAII over a sqlite3 connection.
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
    // Throws the DriverError for SQLite's (extended) result code.
    [[noreturn]] void Fail(int code) const;

private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

// RAII over a prepared statement. With keyed, the first column is the row key.
class SqliteStatement : public DriverStatement
{
public:
    SqliteStatement(const SqliteDb& db, const std::string& sql, bool keyed = false);
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement() override;

    void Bind(int index, const Value& value) override;
    bool Step() override;
    int ColumnCount() const override;
    std::string ColumnName(int index) const override;
    FieldType ColumnType(int index) const override;
    Value ColumnValue(int index) const override;
    long long RowKey() const override;
    long long Changes() const override;

    void BindText(int index, const std::string& text);
    std::string ColumnText(int index) const;
    bool ColumnIsNull(int index) const;

private:
    const SqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
    int first_ = 0;
};
