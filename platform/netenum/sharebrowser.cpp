#include "platform/netenum/sharebrowser.h"

#include "platform/smb/smbpath.h"

std::string SharePath(const Share& share)
{
    return UncText({share.server, share.name});
}
