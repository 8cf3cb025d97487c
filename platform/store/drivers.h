#pragma once

#include "platform/store/driver.h"

#include <memory>
#include <string>

// Whether a database location names a PostgreSQL server (a postgresql:// URI) rather than
// a file.
bool IsServerLocation(const std::string& location);

// Opens the database at a file path or a server URI and checks nothing yet. readOnlyWanted
// lets a file that may not be written open read-only. Throws StoreError naming the place.
std::unique_ptr<StoreDriver> OpenDatabase(const std::string& location, bool readOnlyWanted);
// Opens a place for a new database: a file that must not exist yet, or a server's database
// that must hold none of the tables.
std::unique_ptr<StoreDriver> OpenNewDatabase(const std::string& location);
