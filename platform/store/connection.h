#pragma once

#include "platform/store/driver.h"

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

// The connection to the database, opened from an ADO-style connection string whose Data
// Source is a file path or a postgresql:// URI.
class Connection
{
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    void SetConnectionString(const std::string& text) { connectionString_ = text; }
    const std::string& ConnectionString() const { return connectionString_; }

    // Opens the database named by Data Source and checks that it is one of ours (a file:
    // not empty, not an Access file), the password and the tables. "Mode=Read" opens a file
    // for writing where the file allows it, else read-only. Throws StoreError naming the
    // database and the fault.
    void Open();
    // Closes every row set opened on this connection, then the database.
    void Close();
    bool Connected() const { return driver_ != nullptr; }
    bool ReadOnly() const { return driver_ && driver_->ReadOnly(); }
    // Only while connected.
    StoreDriver& Driver() const { return *driver_; }

    void Attach(ConnectionUser* user);
    void Detach(ConnectionUser* user);

private:
    std::string connectionString_;
    std::unique_ptr<StoreDriver> driver_;
    std::vector<ConnectionUser*> users_;
};
