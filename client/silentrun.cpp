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

// Not a std::exception: the run records no error for it, and nothing was done before it.
struct NeedsWindows {
};

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
        if (!ui || !ui->CanShowWindows())
            return AddRuleAnswer::NoWindow;
        throw NeedsWindows{};
    }
    bool ShowMessage(const std::string& text) override
    {
        ClientUi* ui = ui_.Get();
        return ui && ui->ShowMessage(text);
    }

private:
    UiModule& ui_;
};

} // namespace

int RunSilent(DataModule& dbform, int& argc, char** argv, UiModule& ui)
{
    try {
        // Loaded when a rule first needs a printer: a run with nothing to do never maps it.
        const std::unique_ptr<PrintSystem> printers = CreatePrintSystem(false);
        SilentView view(ui);
        return TClientRun(dbform, view, *printers).Run();
    } catch (const NeedsWindows&) {
        ClientUi* windows = ui.Get();
        return windows ? windows->Run(dbform.BrevUtil1, argc, argv) : 1;
    } catch (const std::exception& e) {
        // Standard error whether or not a window shows it too.
        std::cerr << "wdclient: " << e.what() << std::endl;
        if (ClientUi* windows = ui.Get())
            windows->ReportError(e.what());
        return 1;
    }
}
