#include "platform/host/usergroups.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace
{

std::vector<char> Buffer()
{
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    return std::vector<char>(size > 0 ? static_cast<size_t>(size) : 16384);
}

} // namespace

std::vector<std::string> GroupsOf(const std::string& user)
{
    std::vector<char> buffer = Buffer();
    passwd entry{};
    passwd* found = nullptr;
    if (getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    int count = 64;
    std::vector<gid_t> ids(static_cast<size_t>(count));
    while (getgrouplist(user.c_str(), found->pw_gid, ids.data(), &count) < 0)
        ids.resize(static_cast<size_t>(count));
    ids.resize(static_cast<size_t>(count));
    std::vector<std::string> names;
    std::vector<char> groupBuffer(65536);
    for (gid_t id : ids) {
        group g{};
        group* named = nullptr;
        if (getgrgid_r(id, &g, groupBuffer.data(), groupBuffer.size(), &named) == 0 && named)
            names.push_back(named->gr_name);
    }
    return names;
}
