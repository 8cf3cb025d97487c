#pragma once

#include <string>

// How a program means to use the database it opens.
enum class Access {
    // Reads and never writes, whatever the file allows: a look that changes nothing.
    ReadOnly,
    // Reads and writes; where this program may not write, opening fails and says why.
    ReadWrite,
    // Writes where the file and its folder allow it, else only reads: the logon client.
    WriteWhereAllowed,
};

// Which database to open, and how.
struct OpenOptions {
    std::string location; // a file path or a postgresql:// URI
    Access access = Access::ReadOnly;
};
