#pragma once

#include "platform/store/sqlite.h"

#include <string>
#include <vector>

class RowSet;

// The connection to the database file, opened from an ADO-style connection string.
// Many programs share the file: SQLite's locking with a busy time-out, no journal files
// beside the database but the transient rollback journal.
class Connection
{
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    void SetConnectionString(const std::string& text) { connectionString_ = text; }
    const std::string& ConnectionString() const { return connectionString_; }

    // Opens the file named by Data Source and checks that it is one of ours (not empty, not
    // an Access file), the password and the tables. "Mode=Read" opens for writing where the
    // file allows it, else read-only. Throws StoreError naming the file and the fault.
    void Open();
    // Closes every row set opened on this connection, then the file.
    void Close();
    bool Connected() const { return db_.IsOpen(); }
    bool ReadOnly() const { return readOnly_; }
    const std::string& FileName() const { return db_.Path(); }
    // Whether the file may still be written: it may have been made read-only since it was
    // opened, which an open file handle would not notice.
    bool FileStillWritable() const;
    const SqliteDb& Db() const { return db_; }

    void Attach(RowSet* rowSet);
    void Detach(RowSet* rowSet);

    // How long a statement waits for another program's lock before it fails.
    static constexpr int kBusyTimeoutMs = 10000;

private:
    std::string connectionString_;
    SqliteDb db_;
    bool readOnly_ = false;
    std::vector<RowSet*> rowSets_;
};
