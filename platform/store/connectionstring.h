#pragma once

#include <string>

// The parts of an ADO-style connection string that the store acts on.
struct ConnectionSettings {
    std::string provider;
    std::string dataSource; // the database file
    std::string mode;       // "Read" asks for reading only; empty means read/write
    std::string password;   // "Jet OLEDB:Database Password"
};

// Splits "Key=Value;Key=Value". A ';' inside a value (a directory named "a;b") is kept
// when what follows it is not a known key. Throws StoreError without a Data Source.
ConnectionSettings ParseConnectionString(const std::string& text);
