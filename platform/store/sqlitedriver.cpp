#include "platform/store/sqlitedriver.h"

#include "platform/host/textutil.h"
#include "platform/store/tables.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

[[noreturn]] void FailFile(const std::string& path, const std::string& what)
{
    throw StoreError("Cannot open the database \"" + path + "\": " + what);
}

bool StartsWith(const std::string& data, size_t offset, const char* text)
{
    size_t length = std::strlen(text);
    return data.size() >= offset + length && data.compare(offset, length, text) == 0;
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Writing needs the file and, for the rollback journal, its directory.
bool Writable(const std::string& path)
{
    return access(path.c_str(), W_OK) == 0 && access(DirectoryOf(path).c_str(), W_OK) == 0;
}

// Never opens the file itself: closing any descriptor of a file drops every POSIX lock
// this process holds on it, including those of other connections to the same database.
void CheckFileIsThere(const std::string& path)
{
    struct stat st {
    };
    if (stat(path.c_str(), &st) != 0)
        FailFile(path, std::string("the file cannot be found (") + std::strerror(errno) + ").");
    if (S_ISDIR(st.st_mode))
        FailFile(path, "it is a folder, not a database file.");
    if (access(path.c_str(), R_OK) != 0)
        FailFile(path, std::string("the file cannot be read (") + std::strerror(errno) + ").");
}

// The first bytes of the file, read through SQLite's own handle.
std::string ReadHeader(const SqliteDb& db)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db.Handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods)
        return "";
    sqlite3_int64 size = 0;
    file->pMethods->xFileSize(file, &size);
    std::string head(static_cast<size_t>(std::min<sqlite3_int64>(size, 100)), '\0');
    if (!head.empty() &&
        file->pMethods->xRead(file, head.data(), static_cast<int>(head.size()), 0) != SQLITE_OK)
        return "";
    return head;
}

void CheckHeader(const std::string& path, const std::string& head)
{
    if (head.empty())
        FailFile(path, "the file is empty, it is not a database. Create one with \"wddb create\".");
    if (StartsWith(head, 4, "Standard Jet DB") || StartsWith(head, 4, "Standard ACE DB"))
        FailFile(path, "it is a Microsoft Access (Jet) database. This system keeps its rules "
                       "in its own SQLite database: create one with \"wddb create\" and enter "
                       "the printers and rules there.");
    if (!StartsWith(head, 0, "SQLite format 3"))
        FailFile(path, "the file is not a database of this system (unknown format).");
}

// A column default as PRAGMA table_info gives it: a number, a quoted text or NULL.
Value ParseDefault(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
        std::string inner;
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            inner += text[i];
            if (text[i] == '\'')
                ++i;
        }
        return Value::Text(inner);
    }
    long long n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec == std::errc() && end == text.data() + text.size() && !text.empty())
        return Value::Integer(n);
    if (EqualsIgnoreCase(text, "TRUE"))
        return Value::Integer(1);
    if (EqualsIgnoreCase(text, "FALSE"))
        return Value::Integer(0);
    return Value();
}

} // namespace

SqliteDriver::SqliteDriver(const std::string& path, Access wanted)
{
    CheckFileIsThere(path);
    const bool writable = Writable(path);
    if (wanted == Access::ReadWrite && !writable)
        FailFile(path, "the file cannot be opened for writing: this program needs write "
                       "access to the file and its folder.");
    readOnly_ = wanted == Access::ReadOnly || !writable;
    int flags = (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    db_.Open(path, flags);
    CheckHeader(path, ReadHeader(db_));
    sqlite3_busy_timeout(db_.Handle(), kBusyTimeoutMs);
}

std::unique_ptr<SqliteDriver> SqliteDriver::CreateFile(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw StoreError("\"" + path + "\" already exists; it was left as it is.");
    const std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
    if (!std::filesystem::is_directory(folder, ec))
        throw StoreError("The folder \"" + folder.string() + "\" does not exist, so \"" + path +
                         "\" cannot be made there. Make the folder first (mkdir -p).");
    std::unique_ptr<SqliteDriver> driver(new SqliteDriver());
    driver->db_.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_busy_timeout(driver->db_.Handle(), kBusyTimeoutMs);
    return driver;
}

std::unique_ptr<DriverStatement> SqliteDriver::PrepareTable(const std::string& table)
{
    return std::make_unique<SqliteStatement>(db_, "SELECT rowid, * FROM " + Identifier(table),
                                             true);
}

std::unique_ptr<DriverStatement> SqliteDriver::Prepare(const std::string& sql)
{
    return std::make_unique<SqliteStatement>(db_, sql);
}

long long SqliteDriver::Insert(const std::string& sql, const std::vector<Value>& values)
{
    SqliteStatement st(db_, sql);
    for (size_t i = 0; i < values.size(); ++i)
        st.Bind(static_cast<int>(i + 1), values[i]);
    st.Step();
    return sqlite3_last_insert_rowid(db_.Handle());
}

std::string SqliteDriver::Identifier(const std::string& name) const
{
    return QuoteIdentifier(name); // SQLite resolves quoted names without regard to case
}

std::string SqliteDriver::ColumnSql(const FieldDef& f) const
{
    std::string sql = QuoteIdentifier(f.name);
    switch (f.type) {
    case FieldType::Text:
        sql += " TEXT COLLATE NOCASE";
        break;
    case FieldType::Boolean:
        sql += " BOOLEAN";
        break;
    case FieldType::Integer:
        sql += " INTEGER";
        break;
    }
    if (!f.defaultValue.IsNull())
        sql += " DEFAULT " + std::to_string(f.defaultValue.IntegerValue());
    if (f.type == FieldType::Boolean)
        sql += " CHECK (" + QuoteIdentifier(f.name) + " IN (0, 1))";
    return sql + (f.unique ? " UNIQUE" : "");
}

std::string SqliteDriver::CreateTableSql(const TableDef& table) const
{
    std::string sql = "CREATE TABLE " + Identifier(table.name) + " (";
    for (size_t i = 0; i < table.fields.size(); ++i)
        sql += (i ? ", " : "") + ColumnSql(table.fields[i]);
    return sql + ")";
}

bool SqliteDriver::HasTable(const std::string& name)
{
    SqliteStatement st(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? "
                            "COLLATE NOCASE");
    st.BindText(1, name);
    return st.Step();
}

std::vector<std::pair<std::string, Value>> SqliteDriver::Defaults(const std::string& table)
{
    SqliteStatement st(db_, "SELECT name, dflt_value FROM pragma_table_info(?)");
    st.BindText(1, table);
    std::vector<std::pair<std::string, Value>> out;
    while (st.Step())
        out.emplace_back(st.ColumnText(0),
                         st.ColumnIsNull(1) ? Value() : ParseDefault(st.ColumnText(1)));
    return out;
}

std::string SqliteDriver::Describe() const
{
    return "the database \"" + db_.Path() + "\"";
}

std::string SqliteDriver::WriteAccessAdvice() const
{
    return "Ask for write access to the file and its folder.";
}

bool SqliteDriver::MayBeWritten() const
{
    return Writable(db_.Path());
}
