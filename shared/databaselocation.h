#pragma once

#include <string>

// The system-wide settings file, read when nothing lies beside the program.
inline constexpr const char* kSystemDatabaseConf = "/etc/wendrell/wddata.conf";

enum class DatabaseKind { File, PostgreSql };

// The database the programs open, and what named it.
struct DatabaseLocation {
    DatabaseKind kind = DatabaseKind::File;
    std::string location; // the file's full path, or the server's URI
    std::string namedBy;  // the wddata.conf that named it; empty for wddata.mdb itself
};

// Where the database is, the first of: the database a wddata.conf in programDir names,
// wddata.mdb in programDir, the database systemConf names. A wddata.conf holds
// "key = value" lines and '#' comments; its "database" is a file path (relative to the
// conf's folder) or a postgresql:// URI. programDir ends with '/'.
// Throws StoreError naming every place looked at when none is there, and naming the conf
// file when it names nothing usable.
DatabaseLocation LocateDatabase(const std::string& programDir,
                                const std::string& systemConf = kSystemDatabaseConf);
