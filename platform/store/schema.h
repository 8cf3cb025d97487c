#pragma once

#include "platform/store/tables.h"

#include <string>

class StoreDriver;

// Creating the tables of tables.h in a database and checking an opened one against them.

// Makes the tables in a new database: a file path (an existing file is refused) or a
// PostgreSQL URI (a database that holds any of the tables is refused). startingRows: with
// the rows the programs would otherwise add at their first opening (the Config row, both
// options on, and the printer None), so that a database nobody may write is complete.
void CreateDatabase(const std::string& location, bool startingRows = false);
// Makes the tables in an opened, empty database.
void CreateTables(StoreDriver& driver, bool startingRows = false);

// Checks that an open database is one of ours, with the programs' password (where the
// database does not authenticate itself) and every table and field. Throws StoreError
// naming the database and what is wrong.
void CheckDatabase(StoreDriver& driver);

bool HasRunLogTable(StoreDriver& driver);
// Brings an older database up to date: adds the run-log table and the optional fields it
// lacks (the programs that edit the database call it). True when it changed the database.
// Throws StoreError.
bool UpgradeDatabase(StoreDriver& driver);
