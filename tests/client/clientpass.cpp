#include "tests/client/clientpass.h"

#include "client/clientMain.h"
#include "client/silentrun.h"
#include "client/uimodule.h"
#include "client/wdclient.h"
#include "client/windowrun.h"
#include "shared/dbformmain.h"

ClientPass RunClientPass(const std::string& dir, std::vector<std::string> args)
{
    args.insert(args.begin(), "wdclient");
    TBrevUtil util(args);
    util.SetStartDir(dir);
    TMainClientFrm main;
    Tdbform dbform(util);
    ClientPass pass{};
    std::string ignored;
    QObject::connect(&main, &TMainClientFrm::statusChanged,
                     [&pass](const QString& s) { pass.statuses.push_back(s.toStdString()); });
    TStatusView view(dbform, &main);
    main.setVisible(!util.ReadCommandLine("S", ignored));
    const ClientSwitches switches = ReadClientSwitches(util);
    TClientRun run(dbform, view, *main.sc, switches);
    run.Pause = [&pass](int milliseconds) { pass.pausedMs += milliseconds; };
    pass.exitCode = run.Run();
    pass.shown = main.isVisible();
    return pass;
}

namespace
{

class LinkedWindows : public UiModule
{
public:
    ClientUi* Get() override { return &windows_; }

private:
    TWindowUi windows_;
};

} // namespace

int RunSilentPass(const std::string& dir, std::vector<std::string> args)
{
    args.insert(args.begin(), "wdclient");
    TBrevUtil util(args);
    util.SetStartDir(dir);
    int argc = 1;
    char name[] = "wdclient";
    char* argv[] = {name, nullptr};
    LinkedWindows windows;
    DataModule dbform(util);
    return RunSilent(dbform, ReadClientSwitches(util), argc, argv, windows);
}
