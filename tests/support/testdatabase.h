#pragma once

#include "tests/support/tempdir.h"

#include <memory>
#include <ostream>
#include <string>

enum class Backend { File, Server };

// The socket folder of the private PostgreSQL server.
std::string PgServerDir();

// A database of ours, with SQL run on it afterwards, on either back end: wddata.mdb in a
// folder, or a database of its own on the private PostgreSQL server (dropped at the end).
// Seed SQL names its columns and writes yes/no as TRUE and FALSE, which both understand.
// Without tables, a server database is left empty.
class TestDatabase
{
public:
    TestDatabase(Backend backend, const TempDir& dir, const std::string& sql = "",
                 bool tables = true);
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;
    ~TestDatabase();

    // The file path or the URI.
    const std::string& Location() const { return location_; }
    // The database's name on the server.
    const std::string& Name() const { return name_; }
    // Runs SQL directly, as an administrator's script would.
    void Exec(const std::string& sql);
    // The first column of the first row, as text; "<no row>" or "<null>".
    std::string Query(const std::string& sql);

private:
    Backend backend_;
    std::string name_;
    std::string location_;
};

// The URI of a database on the private PostgreSQL server, or on hosts (socket folders) as
// libpq lists them.
std::string ServerUri(const std::string& database, const std::string& user = "postgres",
                      const std::string& hosts = PgServerDir());
// The names of parametrised cases and of their parameter: File, Server.
std::string BackendName(Backend backend);
inline void PrintTo(Backend backend, std::ostream* out)
{
    *out << BackendName(backend);
}
