// The discovery walk over one server, as the Find Printers dialog does it: the list of
// found printer shares and the progress bar, on the offscreen platform.
//
//   scanbench SERVER     prints the number of printer shares found

#include "admin/findprinter.h"

#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: scanbench SERVER\n");
        return 2;
    }
    std::string name = std::string("\\\\") + argv[1];
    NetResource server{};
    server.dwScope = RESOURCE_GLOBALNET;
    server.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
    server.dwUsage = RESOURCEUSAGE_CONTAINER;
    server.lpRemoteName = name.data();
    QListWidget list;
    QProgressBar progress;
    progress.setRange(0, 500);
    progress.setTextVisible(false); // as in the dialog, with its size
    progress.setGeometry(0, 0, 514, 16);
    progress.show();
    std::unique_ptr<NetworkEnumerator> net = CreateNetworkEnumerator();
    EnumerateNetworkPrinters(*net, &server, &list, &progress);
    std::printf("%d\n", list.count());
    // Ends at once, as the client does: the walk is what is measured, not Qt's teardown.
    std::fflush(nullptr);
    std::_Exit(list.count() > 0 ? 0 : 1);
}
