#pragma once

#include "platform/store/storeerror.h"
#include "platform/store/value.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct FieldDef;
struct TableDef;

// A failure the database reported, already in the store's words, with what the database
// said and, for a duplicate, the field it named.
class DriverError : public StoreError
{
public:
    DriverError(const std::string& message, StoreFault fault, std::string detail,
                std::string field = {})
        : StoreError(message, fault), detail_(std::move(detail)), field_(std::move(field))
    {
    }
    const std::string& Detail() const { return detail_; }
    const std::string& FieldName() const { return field_; }

private:
    std::string detail_;
    std::string field_;
};

// One statement. Parameters are '?' in its text, numbered from 1. A table's row key is not
// among its columns: RowKey() gives it.
class DriverStatement
{
public:
    virtual ~DriverStatement() = default;
    virtual void Bind(int index, const Value& value) = 0;
    // True while a row is available; throws DriverError.
    virtual bool Step() = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int index) const = 0;
    virtual FieldType ColumnType(int index) const = 0;
    virtual Value ColumnValue(int index) const = 0;
    // The current row's key, for statements made by PrepareTable; 0 otherwise.
    virtual long long RowKey() const = 0;
    // The rows the finished statement changed.
    virtual long long Changes() const = 0;
};

// A database the store can work on: the SQLite file or a PostgreSQL server.
class StoreDriver
{
public:
    virtual ~StoreDriver() = default;

    // Every row of a table with its key.
    virtual std::unique_ptr<DriverStatement> PrepareTable(const std::string& table) = 0;
    virtual std::unique_ptr<DriverStatement> Prepare(const std::string& sql) = 0;
    // Runs statements without parameters or rows.
    virtual void Exec(const std::string& sql) = 0;
    // Runs an INSERT and returns the new row's key.
    virtual long long Insert(const std::string& sql, const std::vector<Value>& values) = 0;

    // The name as this database resolves it, quoted.
    virtual std::string Identifier(const std::string& name) const = 0;
    virtual std::string KeyColumn() const = 0;
    virtual std::string CreateTableSql(const TableDef& table) const = 0;
    // A field's declaration, as CREATE TABLE and ALTER TABLE ... ADD COLUMN take it.
    virtual std::string ColumnSql(const FieldDef& field) const = 0;
    virtual bool HasTable(const std::string& name) = 0;
    std::vector<std::string> FieldNames(const std::string& table);
    // The declared defaults of a table's fields, by field name.
    virtual std::vector<std::pair<std::string, Value>> Defaults(const std::string& table) = 0;

    // For messages: e.g. the database file "/srv/wddata.mdb".
    virtual std::string Describe() const = 0;
    // What to ask for when writing is refused.
    virtual std::string WriteAccessAdvice() const = 0;
    // Opened so that it never writes.
    virtual bool ReadOnly() const = 0;
    // Whether this program could write the database, however it was opened: a file when it
    // and its folder allow it (they may change while it is open); a server is taken at its
    // word, as it refuses a write it does not allow (a standby, a missing grant).
    virtual bool MayBeWritten() const = 0;
    // Whether a write may still succeed through this driver.
    bool StillWritable() const { return !ReadOnly() && MayBeWritten(); }
    // The server checks who connects; the file checks the database password itself.
    virtual bool AuthenticatesItself() const = 0;
};

// Replaces ":name" parameters outside quotes with '?'; names gets them in order.
std::string PositionalParameters(const std::string& sql, std::vector<std::string>& names);

// SQL's double-quoted identifier.
std::string QuoteIdentifier(const std::string& name);
