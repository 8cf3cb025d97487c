#pragma once

#include <string>

// The parts of an ADO-style connection string that the store acts on.
struct ConnectionSettings {
    std::string provider;
    std::string dataSource; // the database file
    std::string mode;       // "Read" asks for reading only; empty means read/write
    std::string password;   // "Jet OLEDB:Database Password"
};

// Splits "Key=Value;Key=Value". A value may be quoted ("..." or '...', the quote doubled
// inside); an unquoted ';' is kept in the value when what follows it is not a known key.
// Throws StoreError without a Data Source.
ConnectionSettings ParseConnectionString(const std::string& text);

// The value as a connection string must hold it: in double quotes when it has a ';', leading
// or trailing blanks or begins with a quote, else as it is.
std::string QuoteConnectionValue(const std::string& value);
