#include "platform/store/schema.h"

#include "platform/host/textutil.h"
#include "platform/store/sha256.h"
#include "platform/store/sqlite.h"
#include "platform/store/storeerror.h"

#include <filesystem>
#include <random>

namespace
{

const char* const kFormatName = "wendrell-printer-mapping";

const char* const kCreateSql = R"sql(
CREATE TABLE wd_meta (key TEXT PRIMARY KEY, value TEXT);
CREATE TABLE Config (
    ClearPrintersFirst BOOLEAN CHECK (ClearPrintersFirst IN (0, 1)),
    AllowClientSelection BOOLEAN CHECK (AllowClientSelection IN (0, 1)));
CREATE TABLE printers (
    UNCNAME TEXT COLLATE NOCASE UNIQUE,
    Description TEXT COLLATE NOCASE,
    Available BOOLEAN DEFAULT 1 CHECK (Available IN (0, 1)));
CREATE TABLE MapRules (
    RULENAME TEXT COLLATE NOCASE,
    UNCPath1 TEXT COLLATE NOCASE,
    UNCPath2 TEXT COLLATE NOCASE,
    UNCPath3 TEXT COLLATE NOCASE,
    UNCPath4 TEXT COLLATE NOCASE,
    "Default" INTEGER DEFAULT 5,
    Active BOOLEAN DEFAULT 1 CHECK (Active IN (0, 1)));
CREATE INDEX MapRules_RULENAME ON MapRules (RULENAME);
)sql";

// The outcome of each client run (schema version 2). Plain types only, so that the same
// statements make the table on every back end.
const char* const kRunLogSql = R"sql(
CREATE TABLE wd_runlog (
    computer TEXT,
    username TEXT,
    started TEXT,
    rules TEXT,
    outcome TEXT,
    failures INTEGER,
    problems TEXT,
    results TEXT,
    duration_ms INTEGER);
CREATE INDEX wd_runlog_computer ON wd_runlog (computer, started);
)sql";

std::string RandomSalt()
{
    std::random_device rd;
    std::string salt;
    static const char* hex = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        salt += hex[rd() % 16];
    return salt;
}

void PutMeta(const SqliteDb& db, const std::string& key, const std::string& value)
{
    Statement st(db, "INSERT INTO wd_meta (key, value) VALUES (?, ?)");
    st.BindText(1, key);
    st.BindText(2, value);
    st.Step();
}

// The value, or false when the key is absent.
bool GetMeta(const SqliteDb& db, const std::string& key, std::string& value)
{
    Statement st(db, "SELECT value FROM wd_meta WHERE key = ?");
    st.BindText(1, key);
    if (!st.Step())
        return false;
    value = st.ColumnText(0);
    return true;
}

[[noreturn]] void Fail(const SqliteDb& db, const std::string& what)
{
    throw StoreError("The database \"" + db.Path() + "\" " + what);
}

bool HasTable(const SqliteDb& db, const std::string& name)
{
    Statement st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? "
                     "COLLATE NOCASE");
    st.BindText(1, name);
    return st.Step();
}

void CheckMeta(const SqliteDb& db, const std::string& password)
{
    if (!HasTable(db, "wd_meta"))
        Fail(db, "is an SQLite database, but not a printer-mapping database "
                 "(it has no wd_meta table). Create one with \"wddb create\".");
    std::string format, version, salt, hash;
    if (!GetMeta(db, "format", format) || format != kFormatName)
        Fail(db, "is not a printer-mapping database (its wd_meta table does not say so).");
    if (!GetMeta(db, "schema_version", version) || std::atoi(version.c_str()) > kSchemaVersion)
        Fail(db, "was made by a newer version of this system (schema version " + version +
                     "); use the newer programs.");
    if (!GetMeta(db, "password_salt", salt) || !GetMeta(db, "password_sha256", hash) ||
        Sha256Hex(salt + password) != hash)
        Fail(db, "refused the password: it is not this database's password.");
}

void CheckFields(const SqliteDb& db, const TableDef& table)
{
    Statement st(db, "SELECT name FROM pragma_table_info(?)");
    st.BindText(1, table.name);
    std::vector<std::string> present;
    while (st.Step())
        present.push_back(st.ColumnText(0));
    for (const FieldDef& f : table.fields) {
        bool found = false;
        for (const std::string& p : present)
            found = found || EqualsIgnoreCase(p, f.name);
        if (!found)
            Fail(db, "is missing the field " + f.name + " in the table " + table.name + ".");
    }
}

} // namespace

const std::vector<TableDef>& RequiredTables()
{
    static const std::vector<TableDef> tables = {
        {"Config",
         {{"ClearPrintersFirst", FieldType::Boolean},
          {"AllowClientSelection", FieldType::Boolean}}},
        {"printers",
         {{"UNCNAME", FieldType::Text},
          {"Description", FieldType::Text},
          {"Available", FieldType::Boolean}}},
        {"MapRules",
         {{"RULENAME", FieldType::Text},
          {"UNCPath1", FieldType::Text},
          {"UNCPath2", FieldType::Text},
          {"UNCPath3", FieldType::Text},
          {"UNCPath4", FieldType::Text},
          {"Default", FieldType::Integer},
          {"Active", FieldType::Boolean}}},
    };
    return tables;
}

FieldType FieldTypeFromDecl(const std::string& declaredType)
{
    std::string t = UpperCaseAscii(declaredType);
    if (t.find("BOOL") != std::string::npos || t == "BIT" || t == "YESNO")
        return FieldType::Boolean;
    if (t.find("INT") != std::string::npos)
        return FieldType::Integer;
    return FieldType::Text;
}

void CreateDatabase(const std::string& path, const std::string& password)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw StoreError("\"" + path + "\" already exists; it was left as it is.");
    SqliteDb db;
    db.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.Exec("BEGIN");
    db.Exec(kCreateSql);
    db.Exec(kRunLogSql);
    std::string salt = RandomSalt();
    PutMeta(db, "format", kFormatName);
    PutMeta(db, "schema_version", std::to_string(kSchemaVersion));
    PutMeta(db, "password_salt", salt);
    PutMeta(db, "password_sha256", Sha256Hex(salt + password));
    db.Exec("COMMIT");
}

const char* RunLogTableSql()
{
    return kRunLogSql;
}

bool HasRunLogTable(const SqliteDb& db)
{
    return HasTable(db, kRunLogTable);
}

void AddRunLogTable(const SqliteDb& db)
{
    if (HasRunLogTable(db))
        return;
    db.Exec("BEGIN IMMEDIATE");
    try {
        // Another program may have added it meanwhile.
        if (!HasRunLogTable(db))
            db.Exec(kRunLogSql);
        db.Exec("UPDATE wd_meta SET value = '" + std::to_string(kSchemaVersion) +
                "' WHERE key = 'schema_version'");
        db.Exec("COMMIT");
    } catch (...) {
        db.Exec("ROLLBACK");
        throw;
    }
}

void CheckDatabase(const SqliteDb& db, const std::string& password)
{
    CheckMeta(db, password);
    for (const TableDef& t : RequiredTables()) {
        if (!HasTable(db, t.name))
            Fail(db, "is missing the table " + t.name + ".");
        CheckFields(db, t);
    }
}
