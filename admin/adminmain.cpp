#include "admin/adminmain.h"

#include "admin/findprinter.h"
#include "admin/lastruns.h"
#include "admin/printentry.h"
#include "admin/ruletest.h"
#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbgrid.h"
#include "platform/print/printlogon.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"
#include "shared/ruledetails.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace
{

constexpr int kWidth = 877;
constexpr int kHeight = 634;
// The print logon's row made the options taller; the printers and the rules gave the room.
constexpr int kOptionsHeight = 185;
constexpr int kRulesHeight = 270;
// The group frames stand this far inside the bands that they fill, so that their frames
// and titles show; the controls keep their places in the window.
constexpr int kInsetX = 4;
constexpr int kInsetY = 2;
// The first row of controls in a band, clear of the group's title and frame line.
constexpr int kFirstRow = 24;

// A control's place given in its band's coordinates, for a parent that is the band's group.
QRect InBand(int left, int top, int width, int height)
{
    return QRect(left - kInsetX, top - kInsetY, width, height);
}

QLabel* WrappedLabel(QWidget* parent, const QRect& geometry, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

Tadminmainfrm::Tadminmainfrm(QWidget* parent) : QWidget(parent)
{
    setObjectName("adminmainfrm");
    setWindowTitle("KELVANE: Wendrell Config Screen");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kWidth, kHeight);
    setFont(FormFont());
    BuildOptions();
    BuildPrinters();
    BuildRules();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QPushButton* Tadminmainfrm::MakeButton(QWidget* parent, const QString& text, int left, int top,
                                       int width, void (Tadminmainfrm::*handler)())
{
    auto* button = new QPushButton(text, parent);
    button->setGeometry(InBand(left, top, width, 25));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QGroupBox* Tadminmainfrm::MakeGroup(const QString& title, int top, int height)
{
    auto* group = new QGroupBox(title, this);
    group->setGeometry(kInsetX, top + kInsetY, kWidth - 2 * kInsetX, height - 2 * kInsetY);
    return group;
}

void Tadminmainfrm::BuildOptions()
{
    optionsGroup = MakeGroup("Global Options", 0, kOptionsHeight);
    allowClientRulesCheckBox =
        new TDBCheckBox("Allow clients to add rules to database", optionsGroup);
    allowClientRulesCheckBox->setGeometry(InBand(8, kFirstRow, 400, 17));
    allowClientRulesLabel = WrappedLabel(
        optionsGroup, InBand(24, kFirstRow + 18, 845, 28),
        "If this option is enabled, when a client computer connects to the database to check "
        "for a rule and there is not rule matching that clients computer name, then that client "
        "will be prompted to select a printer which will add a rule to the database. NOTE: "
        "Users will need write access to the WDDATA.MDB file.");
    clearFirstCheckBox = new TDBCheckBox(
        "Clear any network printer connections before adding these rules", optionsGroup);
    clearFirstCheckBox->setGeometry(InBand(8, kFirstRow + 50, 400, 17));
    clearFirstLabel = WrappedLabel(
        optionsGroup, InBand(24, kFirstRow + 68, 845, 28),
        "If this option is enabled, then all \"user\" network printer connections are cleared "
        "before the Wendrell client adds the appropriate printers based on rules in the "
        "database. This only works for user printer connections not system printers(Local "
        "Printers) and will only do this if there is a rule in the database. ");
    setTabOrder(allowClientRulesCheckBox, clearFirstCheckBox);
    BuildPrintLogon();
}

void Tadminmainfrm::BuildPrintLogon()
{
    const int top = kFirstRow + 100;
    printLogonLabel = new QLabel("Print logon:", optionsGroup);
    printLogonLabel->setGeometry(InBand(8, top + 4, 70, 13));
    printLogonComboBox = new TDBComboBox(optionsGroup);
    printLogonComboBox->setGeometry(InBand(80, top, 100, 21));
    for (PrintLogon logon : {PrintLogon::None, PrintLogon::Password, PrintLogon::Kerberos})
        printLogonComboBox->addItem(PrintLogonText(logon));
    // What the clients make of an empty or unknown value.
    printLogonComboBox->SetDefaultItem(PrintLogonText(PrintLogon::None));
    printLogonNote = new QLabel(optionsGroup);
    printLogonNote->setGeometry(InBand(188, top + 4, 681, 13));
    printLogonExplanation = WrappedLabel(
        optionsGroup, InBand(24, top + 24, 845, 28),
        "How the print jobs log on to the print servers: none (as a guest), password (CUPS asks "
        "each user once for a name and password), kerberos (the user's Kerberos ticket: single "
        "sign-on in a domain).");
    setTabOrder(clearFirstCheckBox, printLogonComboBox);
}

void Tadminmainfrm::ShowPrintLogon()
{
    const RowSet& config = dbform_->ConfigTable;
    const bool missing = config.Active() && config.FindField("PrintAuthentication") < 0;
    printLogonComboBox->setEnabled(!missing);
    printLogonNote->setText(missing ? MissingFieldNote("PrintAuthentication") : QString());
}

void Tadminmainfrm::BuildPrinters()
{
    int height = kHeight - kOptionsHeight - kRulesHeight;
    printersGroup = MakeGroup("Networkable Printers", kOptionsHeight, height);
    printersGrid = new TDBGrid(printersGroup);
    printersGrid->setGeometry(InBand(8, kFirstRow, kWidth - 16, height - kFirstRow - 37));
    // The description gave the driver room, so that the columns fit without scrolling.
    printersGrid->SetColumns({{"UNCNAME", "Printer UNC Path", 300},
                              {"Description", "", 290},
                              {"Available", "", -1},
                              {"Driver", "Driver", 200}});
    int top = height - 31;
    addPrinterButton =
        MakeButton(printersGroup, "Add", 8, top, 75, &Tadminmainfrm::addPrinterButtonClick);
    editPrinterButton =
        MakeButton(printersGroup, "Edit", 88, top, 75, &Tadminmainfrm::editPrinterButtonClick);
    deletePrinterButton =
        MakeButton(printersGroup, "Delete", 168, top, 75, &Tadminmainfrm::deletePrinterButtonClick);
    findPrintersButton = MakeButton(printersGroup, "Find Printers", 248, top, 100,
                                    &Tadminmainfrm::findPrintersButtonClick);
    connect(printersGrid, &TDBGrid::DblClick, this, &Tadminmainfrm::editPrinterButtonClick);
    connect(printersGrid, &TDBGrid::TitleClick, this, &Tadminmainfrm::printersGridTitleClick);
    setTabOrder(printLogonComboBox, printersGrid);
    setTabOrder(printersGrid, addPrinterButton);
    setTabOrder(addPrinterButton, deletePrinterButton);
    setTabOrder(deletePrinterButton, editPrinterButton);
    setTabOrder(editPrinterButton, findPrintersButton);
}

void Tadminmainfrm::BuildRules()
{
    rulesGroup = MakeGroup("Printer Mapping Rules", kHeight - kRulesHeight, kRulesHeight);
    rulesGrid = new TDBGrid(rulesGroup);
    rulesGrid->setGeometry(InBand(8, kFirstRow, kWidth - 16, kRulesHeight - kFirstRow - 37));
    // The printer columns give up some width so that the conditions fit beside them.
    rulesGrid->SetColumns({{"RULENAME", "Computer Name", 90},
                           {"UNCPath1", "Printer 1", 125},
                           {"UNCPath2", "Printer 2", 125},
                           {"UNCPath3", "Printer 3", 125},
                           {"UNCPath4", "Printer 4", 125},
                           {"Default", "", 50},
                           {"Active", "", 50},
                           {"Networks", "Networks", 95},
                           {"Groups", "Groups", 74}});
    int top = kRulesHeight - 31;
    addRuleButton = MakeButton(rulesGroup, "Add", 8, top, 75, &Tadminmainfrm::addRuleButtonClick);
    editRuleButton =
        MakeButton(rulesGroup, "Edit", 88, top, 75, &Tadminmainfrm::editRuleButtonClick);
    deleteRuleButton =
        MakeButton(rulesGroup, "Delete", 168, top, 75, &Tadminmainfrm::deleteRuleButtonClick);
    testRulesButton =
        MakeButton(rulesGroup, "Test...", 248, top, 75, &Tadminmainfrm::testRulesButtonClick);
    lastRunsButton =
        MakeButton(rulesGroup, "Last runs...", 328, top, 90, &Tadminmainfrm::lastRunsButtonClick);
    connect(rulesGrid, &TDBGrid::DblClick, this, &Tadminmainfrm::editRuleButtonClick);
    connect(rulesGrid, &TDBGrid::TitleClick, this, &Tadminmainfrm::rulesGridTitleClick);
    setTabOrder(findPrintersButton, rulesGrid);
    setTabOrder(rulesGrid, addRuleButton);
    setTabOrder(addRuleButton, editRuleButton);
    setTabOrder(editRuleButton, deleteRuleButton);
    setTabOrder(deleteRuleButton, testRulesButton);
    setTabOrder(testRulesButton, lastRunsButton);
}

void Tadminmainfrm::SetDataModule(Tdbform* dbform)
{
    dbform_ = dbform;
    allowClientRulesCheckBox->SetDataSource(&dbform->ConfigDataSet);
    allowClientRulesCheckBox->SetDataField("AllowClientSelection");
    clearFirstCheckBox->SetDataSource(&dbform->ConfigDataSet);
    clearFirstCheckBox->SetDataField("ClearPrintersFirst");
    printLogonComboBox->SetDataSource(&dbform->ConfigDataSet);
    printLogonComboBox->SetDataField("PrintAuthentication");
    connect(&dbform->ConfigDataSet, &TDataSource::stateChanged, this,
            &Tadminmainfrm::ShowPrintLogon);
    printersGrid->SetDataSource(&dbform->PrintersTableDataSource);
    rulesGrid->SetDataSource(&dbform->MapRulesTableDataSource);
}

void Tadminmainfrm::SetDialogs(TprinterEntryfrm* printerEntry, TRuleDetailsFrm* ruleDetails,
                               Tfindprinterfrm* findPrinter)
{
    printerEntryfrm_ = printerEntry;
    RuleDetailsFrm_ = ruleDetails;
    findprinterfrm_ = findPrinter;
}

void Tadminmainfrm::addPrinterButtonClick()
{
    Interaction::Guarded(this, [this] {
        dbform_->printerstable.Append();
        printerEntryfrm_->ShowModal();
    });
}

void Tadminmainfrm::editPrinterButtonClick()
{
    Interaction::Guarded(this, [this] {
        dbform_->printerstable.Edit();
        printerEntryfrm_->ShowModal();
    });
}

void Tadminmainfrm::deletePrinterButtonClick()
{
    Interaction::Guarded(this, [this] {
        // Only the seeded row spelled exactly "None" is kept.
        if (dbform_->printerstable.FieldByName("UNCNAME").AsString() != "None")
            dbform_->printerstable.Delete();
    });
}

void Tadminmainfrm::findPrintersButtonClick()
{
    Interaction::Guarded(this, [this] { findprinterfrm_->ShowModal(); });
}

void Tadminmainfrm::addRuleButtonClick()
{
    Interaction::Guarded(this, [this] {
        dbform_->MapRulesTable.Append();
        RuleDetailsFrm_->ShowModal();
    });
}

void Tadminmainfrm::editRuleButtonClick()
{
    Interaction::Guarded(this, [this] {
        dbform_->MapRulesTable.Edit();
        RuleDetailsFrm_->ShowModal();
    });
}

void Tadminmainfrm::deleteRuleButtonClick()
{
    Interaction::Guarded(this, [this] {
        if (dbform_->MapRulesTable.RecordCount() > 0)
            dbform_->MapRulesTable.Delete();
    });
}

void Tadminmainfrm::testRulesButtonClick()
{
    Interaction::Guarded(this, [this] {
        if (!RuleTestFrm)
            RuleTestFrm = new TRuleTestFrm(*dbform_, this);
        // The current rule's name is the likeliest to be tried.
        if (RuleTestFrm->computerEdit->text().isEmpty() && dbform_->MapRulesTable.RecordCount() > 0)
            RuleTestFrm->computerEdit->setText(
                QString::fromStdString(dbform_->MapRulesTable.FieldByName("RULENAME").AsString()));
        RuleTestFrm->ShowModal();
    });
}

void Tadminmainfrm::lastRunsButtonClick()
{
    Interaction::Guarded(this, [this] {
        if (!LastRunsFrm)
            LastRunsFrm = new TLastRunsFrm(*dbform_, this);
        LastRunsFrm->Refresh();
        LastRunsFrm->show();
        LastRunsFrm->raise();
    });
}

void Tadminmainfrm::SortByTitle(const QString& fieldName, bool printers)
{
    RowSet& table = printers ? dbform_->printerstable : dbform_->MapRulesTable;
    Interaction::Guarded(this, [&] {
        table.SetSort(fieldName.toStdString() + (SortAscending ? " DESC" : " ASC"));
        SortAscending = !SortAscending;
    });
}

void Tadminmainfrm::printersGridTitleClick(const QString& fieldName)
{
    SortByTitle(fieldName, true);
}

void Tadminmainfrm::rulesGridTitleClick(const QString& fieldName)
{
    SortByTitle(fieldName, false);
}

void Tadminmainfrm::FormClose()
{
    try {
        dbform_->ConfigTable.Post();
    } catch (const std::exception& e) {
        // The program closes all the same, but not without saying that the options are lost.
        Interaction::ShowMessage(this, {"The global options were not stored.",
                                        QApplication::applicationName(), QMessageBox::Ok,
                                        QMessageBox::Warning, QString::fromStdString(e.what())});
    }
}

void Tadminmainfrm::closeEvent(QCloseEvent* event)
{
    if (dbform_)
        FormClose();
    event->accept();
}
