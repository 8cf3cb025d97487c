#include "platform/store/schema.h"

#include "platform/host/textutil.h"
#include "platform/store/drivers.h"
#include "platform/store/rowwriter.h"
#include "platform/store/sha256.h"
#include "platform/store/storeerror.h"

#include <algorithm>
#include <random>

namespace
{

const char* const kFormatName = "wendrell-printer-mapping";
// The password both programs open a file with; its salted hash is kept in the file. A
// server checks who connects instead.
const char* const kDatabasePassword = "vostrelk";

std::string RandomSalt()
{
    std::random_device rd;
    std::string salt;
    static const char* hex = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        salt += hex[rd() % 16];
    return salt;
}

void PutMeta(StoreDriver& db, const std::string& key, const std::string& value)
{
    auto st = db.Prepare("INSERT INTO wd_meta (key, value) VALUES (?, ?)");
    st->Bind(1, Value::Text(key));
    st->Bind(2, Value::Text(value));
    st->Step();
}

// The value, or false when the key is absent.
bool GetMeta(StoreDriver& db, const std::string& key, std::string& value)
{
    auto st = db.Prepare("SELECT value FROM wd_meta WHERE key = ?");
    st->Bind(1, Value::Text(key));
    if (!st->Step())
        return false;
    const Value v = st->ColumnValue(0);
    value = v.IsText() ? v.TextValue() : "";
    return true;
}

[[noreturn]] void Fail(const StoreDriver& db, const std::string& what)
{
    std::string subject = db.Describe();
    subject[0] = static_cast<char>(subject[0] - 'a' + 'A');
    throw StoreError(subject + " " + what);
}

void CheckMeta(StoreDriver& db)
{
    if (!db.HasTable("wd_meta"))
        Fail(db, "is a database, but not a printer-mapping database "
                 "(it has no wd_meta table). Create one with \"wddb create\".");
    std::string format, version, salt, hash;
    if (!GetMeta(db, "format", format) || format != kFormatName)
        Fail(db, "is not a printer-mapping database (its wd_meta table does not say so).");
    if (!GetMeta(db, "schema_version", version) || std::atoi(version.c_str()) > kSchemaVersion)
        Fail(db, "was made by a newer version of this system (schema version " + version +
                     "); use the newer programs.");
    if (db.AuthenticatesItself())
        return;
    if (!GetMeta(db, "password_salt", salt) || !GetMeta(db, "password_sha256", hash) ||
        Sha256Hex(salt + kDatabasePassword) != hash)
        Fail(db, "refused the password: it is not this database's password.");
}

// The fields of the required tables that the database lacks, with their tables.
std::vector<std::pair<std::string, FieldDef>> MissingFields(StoreDriver& db)
{
    std::vector<std::pair<std::string, FieldDef>> missing;
    for (const TableDef& t : RequiredTables()) {
        const std::vector<std::string> present = db.FieldNames(t.name);
        for (const FieldDef& f : t.fields)
            if (std::none_of(present.begin(), present.end(),
                             [&f](const std::string& p) { return EqualsIgnoreCase(p, f.name); }))
                missing.emplace_back(t.name, f);
    }
    return missing;
}

void AddStartingRows(StoreDriver& db)
{
    const Value yes = Value::Integer(1);
    RowWriter(db, "Config", "set of options", "the global options")
        .Insert({"ClearPrintersFirst", "AllowClientSelection"}, {yes, yes});
    RowWriter(db, "printers", "printer", "the printer list")
        .Insert({"UNCNAME", "Description", "Available"},
                {Value::Text(kNonePrinter), Value::Text(kNonePrinterDescription), yes});
}

void CreateTable(StoreDriver& db, const TableDef& t)
{
    db.Exec(db.CreateTableSql(t));
    for (const FieldDef& f : t.fields)
        if (f.indexed)
            db.Exec("CREATE INDEX " + db.Identifier(t.name + "_" + f.name) + " ON " +
                    db.Identifier(t.name) + " (" + db.Identifier(f.name) + ")");
}

} // namespace

void CreateDatabase(const std::string& location, bool startingRows)
{
    std::unique_ptr<StoreDriver> db = OpenNewDatabase(location);
    CreateTables(*db, startingRows);
}

void CreateTables(StoreDriver& db, bool startingRows)
{
    db.Exec("BEGIN");
    db.Exec("CREATE TABLE wd_meta (key TEXT PRIMARY KEY, value TEXT)");
    for (const TableDef& t : RequiredTables())
        CreateTable(db, t);
    CreateTable(db, RunLogTable());
    std::string salt = RandomSalt();
    PutMeta(db, "format", kFormatName);
    PutMeta(db, "schema_version", std::to_string(kSchemaVersion));
    PutMeta(db, "password_salt", salt);
    PutMeta(db, "password_sha256", Sha256Hex(salt + kDatabasePassword));
    if (startingRows)
        AddStartingRows(db);
    db.Exec("COMMIT");
}

void CheckDatabase(StoreDriver& db)
{
    CheckMeta(db);
    for (const TableDef& t : RequiredTables())
        if (!db.HasTable(t.name))
            Fail(db, "is missing the table " + t.name + ".");
    for (const auto& [table, field] : MissingFields(db))
        if (!field.optional)
            Fail(db, "is missing the field " + field.name + " in the table " + table + ".");
}

bool HasRunLogTable(StoreDriver& db)
{
    return db.HasTable(RunLogTable().name);
}

bool UpgradeDatabase(StoreDriver& db)
{
    if (HasRunLogTable(db) && MissingFields(db).empty())
        return false;
    db.Exec("BEGIN");
    try {
        // Another program may have done some of it meanwhile.
        if (!HasRunLogTable(db))
            CreateTable(db, RunLogTable());
        for (const auto& [table, field] : MissingFields(db))
            db.Exec("ALTER TABLE " + db.Identifier(table) + " ADD COLUMN " + db.ColumnSql(field));
        db.Exec("UPDATE wd_meta SET value = '" + std::to_string(kSchemaVersion) +
                "' WHERE key = 'schema_version'");
        db.Exec("COMMIT");
    } catch (...) {
        db.Exec("ROLLBACK");
        throw;
    }
    return true;
}
