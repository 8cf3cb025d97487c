#pragma once

#include "platform/store/driver.h"

#include <string>
#include <vector>

// The INSERT, UPDATE and DELETE of one table's rows by key, with what the database refused
// worded for a person: captions name a row and the list as the user sees them.
class RowWriter
{
public:
    RowWriter(StoreDriver& driver, const std::string& table, const std::string& rowCaption,
              const std::string& listCaption);

    // The new row's key.
    long long Insert(const std::vector<std::string>& names, const std::vector<Value>& values);
    // The number of rows changed: 0 when another program deleted the row.
    long long Update(long long key, const std::vector<std::string>& names,
                     const std::vector<Value>& values);
    void Delete(long long key);

private:
    void RequireWritable() const;
    [[noreturn]] void Refused(const DriverError& e, const std::vector<std::string>& names,
                              const std::vector<Value>& values) const;

    StoreDriver& driver_;
    std::string table_;
    std::string rowCaption_;
    std::string listCaption_;
};
