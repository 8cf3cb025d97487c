#pragma once

#include "platform/store/driver.h"
#include "platform/store/openoptions.h"

#include <memory>
#include <string>

// Whether a database location names a PostgreSQL server (a postgresql:// URI) rather than
// a file.
bool IsServerLocation(const std::string& location);

// Opens the database at a file path or a server URI as the access says, and checks nothing
// yet. Throws StoreError naming the place.
std::unique_ptr<StoreDriver> OpenDatabase(const OpenOptions& options);
// Opens a place for a new database: a file that must not exist yet, or a server's database
// that must hold none of the tables.
std::unique_ptr<StoreDriver> OpenNewDatabase(const std::string& location);
