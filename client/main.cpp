#include "client/clientui.h"
#include "client/silentrun.h"
#include "client/uimodule.h"
#include "client/wdclient.h"
#include "client/whatif.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

// No window toolkit here: a silent logon and the what-if report run without it, and only a
// run that shows something loads the windows' module.
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
    int code = 1;
    UiModule windows;
    if (brevUtil.ReadCommandLine("WHATIF", ignored)) {
        code = RunWhatIf(brevUtil, std::cout, std::cerr);
    } else if (brevUtil.ReadCommandLine("S", ignored)) {
        code = RunSilent(brevUtil, argc, argv, windows);
    } else if (ClientUi* ui = windows.Get()) {
        code = ui->Run(brevUtil, argc, argv);
    }
    // The run is over and its forms are gone: end the process at once. The window
    // toolkit's own teardown (reading the font configuration just to discard it) would cost
    // more than a whole decision pass.
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}
