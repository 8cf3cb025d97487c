#include "client/windowrun.h"

#include "client/clientMain.h"
#include "client/wdclient.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/print/printsystem.h"
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

} // namespace

void SetClientArguments(int& argc, char** argv)
{
    ClientArguments() = {&argc, argv};
}

void EnsureApplication()
{
    // Message captions name the program.
    QApplication::setApplicationName(kApplicationName);
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "wdclient";
    static char* argv[] = {name, nullptr};
    Arguments& given = ClientArguments();
    // Lives until the process ends, as the client's forms do.
    new QApplication(given.argc ? *given.argc : argc, given.argc ? given.argv : argv);
}

void ShowClientMessage(const std::string& text)
{
    EnsureApplication();
    Interaction::Message message;
    message.text = QString::fromStdString(text);
    message.caption = "WDCLIENT";
    Interaction::ShowMessage(nullptr, message);
}

TStatusView::TStatusView(Tdbform& dbform, TMainClientFrm* form) : dbform_(dbform), form_(form) {}

TStatusView::~TStatusView() = default;

TMainClientFrm& TStatusView::Form()
{
    if (!form_) {
        EnsureApplication();
        madeForm_ = std::make_unique<TMainClientFrm>();
        madeForm_->SetDataModule(&dbform_);
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

void TStatusView::ReportMapError(const std::string& path, const std::exception& error)
{
    Form().ReportMapError(path, error);
}

TRuleDetailsFrm& TStatusView::RuleDetailsForm()
{
    // Made when the add path first needs it: building it loads the fonts and binds the
    // whole rules table, which a run that finds its rule never needs.
    if (!ruleDetails_)
        ruleDetails_ = std::make_unique<TRuleDetailsFrm>(dbform_, &Form());
    return *ruleDetails_;
}

bool TStatusView::OfferToAddRule(const std::string& clientName)
{
    EnsureApplication();
    Interaction::Message question;
    question.text = "No Matching Printer Rule is found for this computer. Do you wish to add one?";
    question.caption = "WDCLIENT";
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    if (Interaction::ShowMessage(nullptr, question) != QMessageBox::Yes)
        return false;
    dbform_.MapRulesTable.Append();
    TRuleDetailsFrm& form = RuleDetailsForm();
    form.computername->setText(QString::fromStdString(clientName));
    form.computername->setEnabled(false);
    return form.ShowModal() == 1;
}

void TStatusView::ShowMessage(const std::string& text)
{
    ShowClientMessage(text);
}

int RunWdClient(const TBrevUtil& brevUtil)
{
    std::string ignored;
    try {
        const bool silent = brevUtil.ReadCommandLine("S", ignored);
        std::unique_ptr<TMainClientFrm> form;
        if (!silent) {
            EnsureApplication();
            form = std::make_unique<TMainClientFrm>();
        }
        // The printing module loads while the database is opened and the rules read.
        std::unique_ptr<PrintSystem> silentPrinters = silent ? CreatePrintSystem() : nullptr;
        Tdbform dbform(brevUtil);
        TStatusView view(dbform, form.get());
        if (form) {
            form->SetDataModule(&dbform);
            form->setVisible(true);
        }
        TClientRun run(dbform, view, form ? *form->sc : *silentPrinters);
        return run.Run();
    } catch (const std::exception& e) {
        std::cerr << "wdclient: " << e.what() << std::endl;
        EnsureApplication();
        Interaction::ReportError(nullptr, e);
        return 1;
    }
}

int TWindowUi::Run(const TBrevUtil& brevUtil, int& argc, char** argv)
{
    SetClientArguments(argc, argv);
    return RunWdClient(brevUtil);
}

void TWindowUi::ReportMapError(const std::string& path, const std::string& error)
{
    EnsureApplication();
    ShowMapError(nullptr, path, std::runtime_error(error));
}

void TWindowUi::ShowMessage(const std::string& text)
{
    ShowClientMessage(text);
}

void TWindowUi::ReportError(const std::string& message)
{
    EnsureApplication();
    Interaction::ReportError(nullptr, std::runtime_error(message));
}
