#pragma once

#include "client/clientswitches.h"
#include "client/clientui.h"
#include "client/clientview.h"
#include "platform/host/brevutil.h"

#include <memory>

class TMainClientFrm;
class TRuleDetailsFrm;
class Tdbform;

// The status window as a run's view. A silent run in this process makes the window, and
// the application object with it, only when a message or the add path needs it.
class TStatusView : public ClientView
{
public:
    // form: the status window, or null to make it when first needed.
    TStatusView(Tdbform& dbform, TMainClientFrm* form);
    ~TStatusView() override;

    void SetStatus(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void ProcessEvents() override;
    bool ReportMapError(const std::string& path, const std::exception& error) override;
    AddRuleAnswer OfferToAddRule(const std::string& clientName) override;
    bool ShowMessage(const std::string& text) override;

    TMainClientFrm& Form();

private:
    TRuleDetailsFrm& RuleDetailsForm();

    Tdbform& dbform_;
    TMainClientFrm* form_;
    std::unique_ptr<TMainClientFrm> madeForm_;
    // Goes before the form that parents it.
    std::unique_ptr<TRuleDetailsFrm> ruleDetails_;
};

// The program with its windows: creates the forms, runs the pass, and turns an error that
// ends the run into a message box, a line on standard error and exit code 1.
int RunWdClient(const TBrevUtil& brevUtil, const ClientSwitches& switches);

// The windows as libwdclientui.so offers them to a run that began without them.
class TWindowUi : public ClientUi
{
public:
    bool CanShowWindows() override;
    int Run(const TBrevUtil& brevUtil, const ClientSwitches& switches, int& argc,
            char** argv) override;
    bool ReportMapError(const std::string& path, const std::string& error) override;
    bool ReportError(const std::string& message) override;
};
