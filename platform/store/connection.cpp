#include "platform/store/connection.h"

#include "platform/host/textutil.h"
#include "platform/store/connectionstring.h"
#include "platform/store/rowset.h"
#include "platform/store/schema.h"
#include "platform/store/storeerror.h"

#include <algorithm>
#include <cstring>
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

} // namespace

namespace
{

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

} // namespace

Connection::~Connection()
{
    Close();
    for (RowSet* r : rowSets_)
        r->ConnectionGone();
}

void Connection::Open()
{
    Close();
    ConnectionSettings s = ParseConnectionString(connectionString_);
    CheckFileIsThere(s.dataSource);
    bool wantRead = EqualsIgnoreCase(s.mode, "Read");
    bool writable = Writable(s.dataSource);
    if (!wantRead && !writable)
        FailFile(s.dataSource, "the file cannot be opened for writing (no write access to the "
                               "file or its folder). The administration program needs it.");
    readOnly_ = !writable;
    int flags = (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    db_.Open(s.dataSource, flags);
    try {
        CheckHeader(s.dataSource, ReadHeader(db_));
        sqlite3_busy_timeout(db_.Handle(), kBusyTimeoutMs);
        CheckDatabase(db_, s.password);
    } catch (...) {
        db_.Close();
        throw;
    }
}

void Connection::Close()
{
    for (RowSet* r : rowSets_)
        r->Close();
    db_.Close();
}

bool Connection::FileStillWritable() const
{
    return !readOnly_ && access(FileName().c_str(), W_OK) == 0;
}

void Connection::Attach(RowSet* rowSet)
{
    rowSets_.push_back(rowSet);
}

void Connection::Detach(RowSet* rowSet)
{
    rowSets_.erase(std::remove(rowSets_.begin(), rowSets_.end(), rowSet), rowSets_.end());
}
