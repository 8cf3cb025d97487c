#include "platform/store/sqlite.h"

#include "platform/host/textutil.h"

#include <cstring>

namespace
{

// The field type a declared SQL column type stands for.
FieldType FieldTypeFromDecl(const std::string& declaredType)
{
    std::string t = UpperCaseAscii(declaredType);
    if (t.find("BOOL") != std::string::npos || t == "BIT" || t == "YESNO")
        return FieldType::Boolean;
    if (t.find("INT") != std::string::npos)
        return FieldType::Integer;
    return FieldType::Text;
}

} // namespace

void SqliteDb::Open(const std::string& path, int flags)
{
    Close();
    path_ = path;
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        Close();
        throw StoreError("Cannot open the database \"" + path + "\": " + why);
    }
    sqlite3_extended_result_codes(db_, 1);
}

void SqliteDb::Close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteDb::Exec(const std::string& sql) const
{
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sqlite3_extended_errcode(db_));
}

std::string SqliteDb::LastError() const
{
    if (!db_)
        return "not open";
    std::string text = sqlite3_errmsg(db_);
    // The extended code tells I/O faults apart (a short read, a failed lock, ...).
    int code = sqlite3_extended_errcode(db_);
    if ((code & 0xff) != SQLITE_IOERR)
        return text;
    int err = sqlite3_system_errno(db_);
    return text + " (SQLite code " + std::to_string(code) +
           (err ? std::string(", ") + std::strerror(err) : std::string()) + ")";
}

void SqliteDb::Fail(int code) const
{
    const std::string why = LastError();
    StoreFault fault = StoreFault::Other;
    std::string field;
    if (code == SQLITE_CONSTRAINT_UNIQUE) {
        fault = StoreFault::Duplicate;
        field = why.substr(why.rfind('.') + 1); // "UNIQUE constraint failed: printers.UNCNAME"
    } else if ((code & 0xff) == SQLITE_READONLY) {
        fault = StoreFault::ReadOnly;
    } else if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED) {
        fault = StoreFault::Locked;
    }
    throw DriverError("The database \"" + path_ + "\" reported: " + why, fault, why, field);
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const std::string& sql, bool keyed)
    : db_(db), first_(keyed ? 1 : 0)
{
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
        db.Fail(sqlite3_extended_errcode(db.Handle()));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

bool SqliteStatement::Step()
{
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    db_.Fail(rc);
}

void SqliteStatement::Bind(int index, const Value& v)
{
    if (v.IsNull())
        sqlite3_bind_null(stmt_, index);
    else if (v.IsInteger())
        sqlite3_bind_int64(stmt_, index, v.IntegerValue());
    else
        BindText(index, v.TextValue());
}

void SqliteStatement::BindText(int index, const std::string& text)
{
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int SqliteStatement::ColumnCount() const
{
    return sqlite3_column_count(stmt_) - first_;
}

std::string SqliteStatement::ColumnName(int index) const
{
    return sqlite3_column_name(stmt_, index + first_);
}

FieldType SqliteStatement::ColumnType(int index) const
{
    const char* decl = sqlite3_column_decltype(stmt_, index + first_);
    return FieldTypeFromDecl(decl ? decl : "");
}

Value SqliteStatement::ColumnValue(int index) const
{
    const int i = index + first_;
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_NULL:
        return Value();
    case SQLITE_INTEGER:
        return Value::Integer(sqlite3_column_int64(stmt_, i));
    case SQLITE_FLOAT: {
        double d = sqlite3_column_double(stmt_, i);
        if (d == static_cast<double>(static_cast<long long>(d)))
            return Value::Integer(static_cast<long long>(d));
        break;
    }
    default:
        break;
    }
    return Value::Text(ColumnText(i));
}

std::string SqliteStatement::ColumnText(int index) const
{
    const unsigned char* t = sqlite3_column_text(stmt_, index);
    return t ? std::string(reinterpret_cast<const char*>(t),
                           static_cast<size_t>(sqlite3_column_bytes(stmt_, index)))
             : std::string();
}

bool SqliteStatement::ColumnIsNull(int index) const
{
    return sqlite3_column_type(stmt_, index) == SQLITE_NULL;
}

long long SqliteStatement::RowKey() const
{
    return first_ ? sqlite3_column_int64(stmt_, 0) : 0;
}

long long SqliteStatement::Changes() const
{
    return sqlite3_changes(db_.Handle());
}
