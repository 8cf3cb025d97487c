#include "client/wdclient.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") ||
            !std::strcmp(argv[i], "/?")) {
            std::cout << kClientUsage;
            return 0;
        }
    }
    const TBrevUtil brevUtil = TBrevUtil::FromMain(argc, argv);
    std::string ignored;
    // The what-if report shows no window, so it needs no display either. Any other run makes
    // the application object when something is shown: a silent run that connects its
    // printers needs none.
    std::unique_ptr<QCoreApplication> app;
    if (brevUtil.ReadCommandLine("WHATIF", ignored))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        SetClientArguments(argc, argv);
    int code = RunWdClient(brevUtil);
    // The run is over and its forms are gone: end the process at once. The framework's
    // own teardown (reading the font configuration just to discard it) would cost more
    // than a whole decision pass.
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}
