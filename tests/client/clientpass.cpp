#include "tests/client/clientpass.h"

#include "client/clientMain.h"
#include "client/wdclient.h"
#include "shared/dbformmain.h"

ClientPass RunClientPass(const std::string& dir, std::vector<std::string> args)
{
    args.insert(args.begin(), "wdclient");
    TBrevUtil util(args);
    util.SetStartDir(dir);
    TMainClientFrm main;
    Tdbform dbform(util);
    main.SetDataModule(&dbform);
    ClientPass pass{};
    QObject::connect(&main, &TMainClientFrm::statusChanged,
                     [&pass](const QString& s) { pass.statuses.push_back(s.toStdString()); });
    TClientRun run(main, dbform);
    run.Pause = [&pass](int milliseconds) { pass.pausedMs += milliseconds; };
    pass.exitCode = run.Run();
    pass.shown = main.isVisible();
    return pass;
}
