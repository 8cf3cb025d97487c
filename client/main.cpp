#include "client/wdclient.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") ||
            !std::strcmp(argv[i], "/?")) {
            std::cout << kClientUsage;
            return 0;
        }
    }
    // The application object is made when something is shown: a silent run that connects
    // its printers needs none.
    SetClientArguments(argc, argv);
    int code = RunWdClient(TBrevUtil::FromMain(argc, argv));
    // The run is over and its forms are gone: end the process at once. The framework's
    // own teardown (reading the font configuration just to discard it) would cost more
    // than a whole decision pass.
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}
