#include "client/windowrun.h"

#include "client/clientMain.h"
#include "client/wdclient.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/print/printsystem.h"
#include "platform/ui/displayprobe.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/ruledetails.h"

#include <QApplication>
#include <iostream>

namespace
{

struct Arguments {
    int* argc = nullptr;
    char** argv = nullptr;
};

Arguments& ClientArguments()
{
    static Arguments arguments;
    return arguments;
}

const char* const kApplicationName = "KELVANE Wendrell Client";

// Keeps main's arguments for the application object, which is made when first needed.
void SetClientArguments(int& argc, char** argv)
{
    ClientArguments() = {&argc, argv};
}

// Makes the application object if there is none yet; false when no window can be shown
// (no display, no platform plugin), which the first such call says on standard error.
bool EnsureApplication()
{
    // Message captions name the program.
    QApplication::setApplicationName(kApplicationName);
    if (QCoreApplication::instance())
        return true;
    static int argc = 1;
    static char name[] = "wdclient";
    static char* argv[] = {name, nullptr};
    Arguments& given = ClientArguments();
    int& appArgc = given.argc ? *given.argc : argc;
    char** appArgv = given.argc ? given.argv : argv;
    // The toolkit aborts the process where it finds no display: ask first, once.
    static const bool canShow = [&] {
        std::string why;
        if (CanOpenDisplay(appArgc, appArgv, why))
            return true;
        std::cerr << "wdclient: no window can be shown (" << why
                  << "); messages go to standard error" << std::endl;
        return false;
    }();
    if (!canShow)
        return false;
    // Lives until the process ends, as the client's forms do.
    new QApplication(appArgc, appArgv);
    return true;
}

// A message box with the client's caption; false when no window can be shown.
bool ShowClientMessage(const std::string& text)
{
    if (!EnsureApplication())
        return false;
    Interaction::Message message;
    message.text = QString::fromStdString(text);
    message.caption = "WDCLIENT";
    Interaction::ShowMessage(nullptr, message);
    return true;
}

} // namespace

TStatusView::TStatusView(Tdbform& dbform, TMainClientFrm* form) : dbform_(dbform), form_(form) {}

TStatusView::~TStatusView() = default;

TMainClientFrm& TStatusView::Form()
{
    if (!form_) {
        EnsureApplication();
        madeForm_ = std::make_unique<TMainClientFrm>();
        form_ = madeForm_.get();
    }
    return *form_;
}

// Nobody would see these: a silent run makes no window for them.
void TStatusView::SetStatus(const std::string& text)
{
    if (form_)
        form_->SetStatus(QString::fromStdString(text));
}

void TStatusView::SetStatusText(const std::string& text)
{
    if (form_)
        form_->SetStatusText(QString::fromStdString(text));
}

void TStatusView::ProcessEvents()
{
    if (form_)
        QApplication::processEvents();
}

bool TStatusView::ReportMapError(const std::string& path, const std::exception& error)
{
    if (!EnsureApplication())
        return false;
    ShowMapError(&Form(), path, error);
    return true;
}

TRuleDetailsFrm& TStatusView::RuleDetailsForm()
{
    // Made when the add path first needs it: building it loads the fonts and binds the
    // whole rules table, which a run that finds its rule never needs.
    if (!ruleDetails_)
        ruleDetails_ = std::make_unique<TRuleDetailsFrm>(dbform_, &Form());
    return *ruleDetails_;
}

AddRuleAnswer TStatusView::OfferToAddRule(const std::string& clientName)
{
    if (!EnsureApplication())
        return AddRuleAnswer::NoWindow;
    Interaction::Message question;
    question.text = "No Matching Printer Rule is found for this computer. Do you wish to add one?";
    question.caption = "WDCLIENT";
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    if (Interaction::ShowMessage(nullptr, question) != QMessageBox::Yes)
        return AddRuleAnswer::NotAdded;
    dbform_.MapRulesTable.Append();
    TRuleDetailsFrm& form = RuleDetailsForm();
    form.computername->setText(QString::fromStdString(clientName));
    form.computername->setEnabled(false);
    return form.ShowModal() == 1 ? AddRuleAnswer::Added : AddRuleAnswer::NotAdded;
}

bool TStatusView::ShowMessage(const std::string& text)
{
    // A run without its status window says what it has to say on standard error.
    return form_ && form_->isVisible() && ShowClientMessage(text);
}

int RunWdClient(const TBrevUtil& brevUtil, const ClientSwitches& switches)
{
    try {
        // Without a display the run goes on as a silent one, its messages on standard error.
        const bool silent = switches.silent || !EnsureApplication();
        std::unique_ptr<TMainClientFrm> form;
        if (!silent)
            form = std::make_unique<TMainClientFrm>();
        // The printing module loads while the database is opened and the rules read.
        std::unique_ptr<PrintSystem> silentPrinters = silent ? CreatePrintSystem() : nullptr;
        Tdbform dbform(brevUtil);
        TStatusView view(dbform, form.get());
        if (form)
            form->setVisible(true);
        TClientRun run(dbform, view, form ? *form->sc : *silentPrinters, switches);
        return run.Run();
    } catch (const std::exception& e) {
        std::cerr << "wdclient: " << e.what() << std::endl;
        if (EnsureApplication())
            Interaction::ReportError(nullptr, e);
        return 1;
    }
}

int TWindowUi::Run(const TBrevUtil& brevUtil, const ClientSwitches& switches, int& argc,
                   char** argv)
{
    SetClientArguments(argc, argv);
    return RunWdClient(brevUtil, switches);
}

bool TWindowUi::CanShowWindows()
{
    return EnsureApplication();
}

bool TWindowUi::ReportMapError(const std::string& path, const std::string& error)
{
    if (!EnsureApplication())
        return false;
    ShowMapError(nullptr, path, std::runtime_error(error));
    return true;
}

bool TWindowUi::ReportError(const std::string& message)
{
    if (!EnsureApplication())
        return false;
    Interaction::ReportError(nullptr, std::runtime_error(message));
    return true;
}
