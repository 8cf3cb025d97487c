#include "client/clientswitches.h"
#include "client/clientui.h"
#include "client/silentrun.h"
#include "client/uimodule.h"
#include "client/wdclient.h"
#include "client/whatif.h"
#include "shared/datamodule.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace
{

// Ends the process at once, with nothing torn down: the run is over, and the window
// toolkit's teardown (reading the font configuration just to discard it) or freeing every
// row read would cost more than a whole decision pass.
[[noreturn]] void End(int code)
{
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace

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
    const ClientSwitches switches = ReadClientSwitches(brevUtil);
    UiModule windows;
    if (switches.whatIf)
        End(RunWhatIf(brevUtil, switches, std::cout, std::cerr));
    if (switches.silent) {
        DataModule dbform(brevUtil);
        End(RunSilent(dbform, switches, argc, argv, windows));
    }
    ClientUi* ui = windows.Get();
    End(ui ? ui->Run(brevUtil, switches, argc, argv) : 1);
}
