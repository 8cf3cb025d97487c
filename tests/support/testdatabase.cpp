#include "tests/support/testdatabase.h"

#include "platform/store/pgdriver.h"
#include "platform/store/schema.h"

#include <atomic>
#include <unistd.h>

namespace
{

std::string NewName()
{
    static std::atomic<int> counter{0};
    return "wdtest_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

std::string ServerQuery(const std::string& database, const std::string& sql)
{
    PgDriver db(ServerUri(database), Access::ReadOnly);
    auto st = db.Prepare(sql);
    if (!st->Step())
        return "<no row>";
    const Value v = st->ColumnValue(0);
    return v.IsNull() ? "<null>" : v.IsText() ? v.TextValue() : std::to_string(v.IntegerValue());
}

void MakeServerDatabase(const std::string& name)
{
    PgDriver(ServerUri("postgres"), Access::ReadWrite).Exec("CREATE DATABASE " + name);
}

void DropServerDatabase(const std::string& name)
{
    PgDriver(ServerUri("postgres"), Access::ReadWrite)
        .Exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}

} // namespace

std::string PgServerDir()
{
    return WD_PGSERVER_DIR;
}

std::string ServerUri(const std::string& database, const std::string& user,
                      const std::string& hosts)
{
    return "postgresql:///" + database + "?host=" + hosts + "&user=" + user;
}

std::string BackendName(Backend backend)
{
    return backend == Backend::File ? "File" : "Server";
}

TestDatabase::TestDatabase(Backend backend, const TempDir& dir, const std::string& sql, bool tables)
    : backend_(backend)
{
    if (backend == Backend::File) {
        location_ = MakeDatabase(dir.Path());
    } else {
        name_ = NewName();
        MakeServerDatabase(name_);
        location_ = ServerUri(name_);
        if (tables)
            CreateDatabase(location_);
    }
    if (!sql.empty())
        Exec(sql);
}

TestDatabase::~TestDatabase()
{
    if (!name_.empty())
        DropServerDatabase(name_);
}

void TestDatabase::Exec(const std::string& sql)
{
    if (backend_ == Backend::File)
        return ExecSql(location_, sql);
    PgDriver(location_, Access::ReadWrite).Exec(sql);
}

std::string TestDatabase::Query(const std::string& sql)
{
    if (backend_ == Backend::File)
        return QueryValue(location_, sql);
    return ServerQuery(name_, sql);
}
