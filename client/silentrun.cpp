#include "client/silentrun.h"

#include "client/clientui.h"
#include "client/clientview.h"
#include "client/uimodule.h"
#include "client/wdclient.h"
#include "platform/print/printsystem.h"
#include "shared/datamodule.h"

#include <iostream>

namespace
{

class SilentView : public ClientView
{
public:
    explicit SilentView(UiModule& ui) : ui_(ui) {}

    void SetStatus(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void ProcessEvents() override {}
    bool ReportMapError(const std::string& path, const std::exception& error) override
    {
        ClientUi* ui = ui_.Get();
        return ui && ui->ReportMapError(path, error.what());
    }
    AddRuleAnswer OfferToAddRule(const std::string&) override
    {
        ClientUi* ui = ui_.Get();
        return ui && ui->CanShowWindows() ? AddRuleAnswer::NeedsWindows : AddRuleAnswer::NoWindow;
    }
    // A silent run says what it has to say on standard error, in no box.
    bool ShowMessage(const std::string&) override { return false; }

private:
    UiModule& ui_;
};

} // namespace

int RunSilent(DataModule& dbform, const ClientSwitches& switches, int& argc, char** argv,
              UiModule& ui)
{
    try {
        // Loaded when a rule first needs a printer: a run with nothing to do never maps it.
        const std::unique_ptr<PrintSystem> printers = CreatePrintSystem(false);
        SilentView view(ui);
        TClientRun run(dbform, view, *printers, switches);
        const int code = run.Run();
        if (!run.HandedToWindows())
            return code;
    } catch (const std::exception& e) {
        // Standard error whether or not a window shows it too.
        std::cerr << "wdclient: " << e.what() << std::endl;
        if (ClientUi* windows = ui.Get())
            windows->ReportError(e.what());
        return 1;
    }
    // Nothing has been done yet: the windows run the pass from the start.
    return ui.Get()->Run(dbform.BrevUtil1, switches, argc, argv);
}
