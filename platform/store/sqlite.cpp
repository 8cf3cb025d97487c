#include "platform/store/sqlite.h"

#include "platform/store/storeerror.h"

#include <cstring>

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
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string why = err ? err : LastError();
        sqlite3_free(err);
        throw StoreError("The database \"" + path_ + "\" reported: " + why);
    }
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

Statement::Statement(const SqliteDb& db, const std::string& sql) : db_(db)
{
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK)
        throw StoreError("The database \"" + db.Path() + "\" reported: " + db.LastError());
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

bool Statement::Step()
{
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    std::string why = db_.LastError();
    sqlite3_reset(stmt_);
    throw StoreError("The database \"" + db_.Path() + "\" reported: " + why);
}

int Statement::Run()
{
    return sqlite3_step(stmt_);
}

void Statement::Reset()
{
    sqlite3_reset(stmt_);
}

void Statement::BindText(int index, const std::string& text)
{
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::BindInt(int index, long long value)
{
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::BindNull(int index)
{
    sqlite3_bind_null(stmt_, index);
}

std::string Statement::ColumnText(int index) const
{
    const unsigned char* t = sqlite3_column_text(stmt_, index);
    return t ? std::string(reinterpret_cast<const char*>(t),
                           static_cast<size_t>(sqlite3_column_bytes(stmt_, index)))
             : std::string();
}
