#pragma once

#include "platform/store/driver.h"
#include "platform/store/openoptions.h"

#include <libpq-fe.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct PgResultFree {
    void operator()(PGresult* r) const;
};
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

class PgDriver;

// A statement run with its parameters sent apart from the text (never spliced in).
// Columns are described without running it; a table's key column wd_rowid is hidden.
class PgStatement : public DriverStatement
{
public:
    PgStatement(PgDriver& driver, std::string sql) : driver_(driver), sql_(std::move(sql)) {}

    void Bind(int index, const Value& value) override;
    bool Step() override;
    int ColumnCount() const override;
    std::string ColumnName(int index) const override;
    FieldType ColumnType(int index) const override;
    Value ColumnValue(int index) const override;
    long long RowKey() const override;
    long long Changes() const override;

private:
    // The result that describes the columns: the rows once run, else a description.
    const PGresult* Described() const;
    int Raw(int index) const;

    PgDriver& driver_;
    std::string sql_;
    std::vector<std::optional<std::string>> params_;
    PgResult rows_;
    mutable PgResult description_;
    mutable std::vector<int> visible_;
    mutable int key_ = -1;
    int row_ = -1;
};

// The database on a PostgreSQL server, reached over libpq from a postgresql:// URI (a list
// of hosts fails over as libpq does). The server authenticates: passwords come from
// ~/.pgpass, a service file or the environment. Text fields are CITEXT, so comparing,
// sorting and the unique printer path ignore case as the file does.
class PgDriver : public StoreDriver
{
public:
    // Connects, waiting at most kConnectTimeoutSeconds per host unless the URI says. Read-only
    // access makes every transaction of the session read-only, so the server refuses writes.
    PgDriver(const std::string& uri, Access access);
    // Connects to a database that holds none of the tables, ready to make them.
    static std::unique_ptr<PgDriver> OpenEmpty(const std::string& uri);

    std::unique_ptr<DriverStatement> PrepareTable(const std::string& table) override;
    std::unique_ptr<DriverStatement> Prepare(const std::string& sql) override;
    void Exec(const std::string& sql) override;
    long long Insert(const std::string& sql, const std::vector<Value>& values) override;

    std::string Identifier(const std::string& name) const override;
    std::string KeyColumn() const override { return "wd_rowid"; }
    std::string CreateTableSql(const TableDef& table) const override;
    std::string ColumnSql(const FieldDef& field) const override;
    bool HasTable(const std::string& name) override;
    std::vector<std::pair<std::string, Value>> Defaults(const std::string& table) override;

    std::string Describe() const override { return description_; }
    std::string WriteAccessAdvice() const override;
    bool ReadOnly() const override { return readOnly_; }
    bool MayBeWritten() const override { return true; }
    bool AuthenticatesItself() const override { return true; }

    // Runs a statement with '$n' parameters; throws DriverError.
    PgResult Run(const std::string& sql, const std::vector<std::optional<std::string>>& params);
    // The columns a statement returns, without running it.
    PgResult DescribeColumns(const std::string& sql);

    static constexpr int kConnectTimeoutSeconds = 5;

private:
    struct ConnFree {
        void operator()(PGconn* c) const;
    };
    PgResult Checked(PGresult* result);

    std::unique_ptr<PGconn, ConnFree> conn_;
    std::string description_;
    bool readOnly_;
};
