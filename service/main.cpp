// wdprintd: makes, marks and removes the client's CUPS queues for users who may not change
// queues themselves, granting only the printers the database gives the caller here.

#include "platform/host/brevutil.h"
#include "service/listener.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace
{

const char* const kUsage = R"(Usage: wdprintd [--listen PATH]

Makes, marks and removes the printer queues of wdclient for users who may not change CUPS
queues themselves (not members of lpadmin). It grants a queue only for a printer that the
database gives the calling user on this computer (an active rule whose computer-name pattern
matches this computer, an available printer), learns who calls from the socket itself, and
never changes a queue it did not mark or another user's place in a mark.

Started by systemd (wdprintd.socket, /run/wendrell/wdprintd.sock) it serves the socket it
is given. Without systemd:
  --listen PATH   serve on a socket at PATH (tests, containers)
  --help          this text
The database is found as wdclient finds it: a wddata.conf or wddata.mdb beside this program,
else /etc/wendrell/wddata.conf. CUPS is reached as libcups is told (CUPS_SERVER).
Actions and refusals go to the system log (ident wdprintd).
Exit codes: 0 stopped, 1 cannot serve, 2 wrong usage.
)";

std::string Folder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

} // namespace

int main(int argc, char** argv)
{
    const bool listen = argc == 3 && std::strcmp(argv[1], "--listen") == 0;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 1 && !listen) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        ServiceSettings settings;
        settings.programDir = ProgramDirectory();
        if (listen) {
            const int fd = ListenOn(argv[2]);
            settings.lockPath = Folder(argv[2]) + "wdprintd.lock";
            settings.logToStderr = true;
            ServeForever(fd, settings);
        }
        const int fd = PassedSocket();
        if (fd < 0) {
            std::cerr << "wdprintd: no socket: start it through wdprintd.socket, or give "
                         "--listen PATH.\n";
            return 2;
        }
        // systemd gives the service a folder of its own (StateDirectory=).
        const char* state = std::getenv("STATE_DIRECTORY");
        settings.lockPath =
            (state && *state ? std::string(state) + "/" : Folder(BoundPath(fd))) + "wdprintd.lock";
        if (IsListening(fd))
            ServeForever(fd, settings);
        ServeConnection(fd, settings);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "wdprintd: " << e.what() << "\n";
        return 1;
    }
}
