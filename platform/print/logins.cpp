#include "platform/print/logins.h"

#include <pwd.h>
#include <sys/stat.h>
#include <utmpx.h>

#include <cstring>
#include <mutex>

namespace
{

bool HasRuntimeFolder(const std::string& user)
{
    const passwd* entry = getpwnam(user.c_str());
    if (entry == nullptr)
        return false;
    struct stat info;
    const std::string folder = "/run/user/" + std::to_string(entry->pw_uid);
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool InUtmp(const std::string& user)
{
    // The utmp cursor is the process's own.
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    setutxent();
    bool found = false;
    while (const utmpx* entry = getutxent()) {
        if (entry->ut_type == USER_PROCESS &&
            strncmp(entry->ut_user, user.c_str(), sizeof(entry->ut_user)) == 0 &&
            user.size() <= sizeof(entry->ut_user)) {
            found = true;
            break;
        }
    }
    endutxent();
    return found;
}

} // namespace

bool IsLoggedIn(const std::string& user)
{
    return !user.empty() && (HasRuntimeFolder(user) || InUtmp(user));
}
