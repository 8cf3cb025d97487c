#pragma once

#include "platform/store/openoptions.h"
#include "platform/store/sqlite.h"

// The database in one SQLite file, shared by many programs: SQLite's locking with a busy
// time-out, no journal files beside the database but the transient rollback journal.
class SqliteDriver : public StoreDriver
{
public:
    // Opens an existing file of ours (not empty, not an Access file) as the access says.
    SqliteDriver(const std::string& path, Access wanted);
    // Creates a new file; refuses one that exists.
    static std::unique_ptr<SqliteDriver> CreateFile(const std::string& path);

    std::unique_ptr<DriverStatement> PrepareTable(const std::string& table) override;
    std::unique_ptr<DriverStatement> Prepare(const std::string& sql) override;
    void Exec(const std::string& sql) override { db_.Exec(sql); }
    long long Insert(const std::string& sql, const std::vector<Value>& values) override;

    std::string Identifier(const std::string& name) const override;
    std::string KeyColumn() const override { return "rowid"; }
    std::string CreateTableSql(const TableDef& table) const override;
    std::string ColumnSql(const FieldDef& field) const override;
    bool HasTable(const std::string& name) override;
    std::vector<std::pair<std::string, Value>> Defaults(const std::string& table) override;

    std::string Describe() const override;
    std::string WriteAccessAdvice() const override;
    bool ReadOnly() const override { return readOnly_; }
    bool MayBeWritten() const override;
    bool AuthenticatesItself() const override { return false; }

    // How long a statement waits for another program's lock before it fails.
    static constexpr int kBusyTimeoutMs = 10000;

private:
    SqliteDriver() = default;

    SqliteDb db_;
    bool readOnly_ = false;
};
