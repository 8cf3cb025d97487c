// File status on a POSIX system: stat(2).

#include "platform/host/filestatus.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

bool PathExists(const std::string& path, std::string& why)
{
    struct stat st {
    };
    if (stat(path.c_str(), &st) == 0)
        return true;
    why = std::strerror(errno);
    return false;
}

bool PathExists(const std::string& path)
{
    std::string ignored;
    return PathExists(path, ignored);
}
