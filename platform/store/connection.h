#pragma once

#include "platform/store/driver.h"
#include "platform/store/openoptions.h"

#include <memory>
#include <string>
#include <vector>

// What works on an open connection (the row sets): told when it closes and when it goes.
class ConnectionUser
{
public:
    virtual void ConnectionClosing() = 0;
    virtual void ConnectionGone() = 0;

protected:
    ~ConnectionUser() = default;
};

// The connection to the database: a file or a PostgreSQL server, opened as OpenOptions say.
class Connection
{
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // Opens the database and checks that it is one of ours (a file: not empty, not an
    // Access file), its password and its tables. Throws StoreError naming the database and
    // the fault.
    void Open(const OpenOptions& options);
    // Closes every row set opened on this connection, then the database.
    void Close();
    bool Connected() const { return driver_ != nullptr; }
    // Where the database is, as last opened: for messages and reports.
    const std::string& Location() const { return options_.location; }
    // Opened so that it never writes: as asked, or where the file may not be written.
    bool ReadOnly() const { return driver_ && driver_->ReadOnly(); }
    // Whether a change may be written through this connection now.
    bool Writable() const { return driver_ && driver_->StillWritable(); }
    // Whether this program could write the database: through this connection, or, on one
    // opened read-only as asked, what a program that writes where allowed would find.
    bool MayWrite() const;
    // Only while connected.
    StoreDriver& Driver() const { return *driver_; }

    void Attach(ConnectionUser* user);
    void Detach(ConnectionUser* user);

private:
    OpenOptions options_;
    std::unique_ptr<StoreDriver> driver_;
    std::vector<ConnectionUser*> users_;
};
