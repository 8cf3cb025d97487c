// Writes seed inputs for the store target: real databases of ours, empty and filled.

#include "platform/store/schema.h"

#include <filesystem>
#include <sqlite3.h>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    std::string empty = dir + "/empty.mdb", filled = dir + "/filled.mdb";
    std::filesystem::remove(empty);
    std::filesystem::remove(filled);
    CreateDatabase(empty, kDatabasePassword);
    CreateDatabase(filled, kDatabasePassword);
    sqlite3* db = nullptr;
    sqlite3_open(filled.c_str(), &db);
    sqlite3_exec(db,
                 "INSERT INTO Config VALUES (1, 0);"
                 "INSERT INTO printers VALUES ('None', 'No Printer', 1), ('\\\\s\\p', 'x', 0);"
                 "INSERT INTO MapRules VALUES ('LAB*', '\\\\s\\p', 'None', NULL, '', 2, 1);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}
