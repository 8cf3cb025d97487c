#include "tests/support/asuser.h"

#include "tests/support/tempdir.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

bool RunUnprivileged(const std::function<bool()>& fn, std::string* why)
{
    return RunAsUser("nobody", fn, why);
}

bool RunAsUser(const std::string& user, const std::function<bool()>& fn, std::string* why)
{
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (geteuid() == 0) {
            const passwd* pw = getpwnam(user.c_str());
            if (!pw || initgroups(pw->pw_name, pw->pw_gid) != 0 || setgid(pw->pw_gid) != 0 ||
                setuid(pw->pw_uid) != 0)
                _exit(3);
        }
        bool ok = false;
        try {
            ok = fn();
        } catch (...) {
            _exit(4);
        }
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (why)
        *why = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status)) : "signal";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void EnsureTestUser(const std::string& name, const std::string& group)
{
    if (!getpwnam(name.c_str()))
        RunProgram({"/usr/sbin/useradd", "--system", "--no-create-home", name});
    if (group.empty())
        return;
    if (!getgrnam(group.c_str()))
        RunProgram({"/usr/sbin/groupadd", "--system", group});
    RunProgram({"/usr/sbin/usermod", "-aG", group, name});
}

std::vector<std::string> AsUserCommand(const std::string& user, std::vector<std::string> command)
{
    command.insert(command.begin(), {"/usr/bin/setpriv", "--reuid=" + user, "--regid=" + user,
                                     "--init-groups", "--"});
    return command;
}
