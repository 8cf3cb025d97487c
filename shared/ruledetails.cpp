#include "shared/ruledetails.h"

#include "client/ruleconditions.h"
#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dblookupcombobox.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace
{

const char* const kHelpText =
    "The printer mapping rules are based on COMPUTER NETBIOS NAMES. When the client is run, it "
    "will check the NETBIOS name then check the database for the first matching rule. You can "
    "specify the '*' wildcard which will apply the rule of any matching computer to it. eg if "
    "LA* is specified as the rule, then computers LAB001, LAB002 will have the rule applied to "
    "them.";

} // namespace

TRuleDetailsFrm::TRuleDetailsFrm(Tdbform& dbform, QWidget* parent)
    : ModalDialog(parent), dbform_(dbform)
{
    setObjectName("RuleDetailsFrm");
    setWindowTitle("Mapping Rule Details");
    // The conditions take a band below the original controls.
    SetDialogFrame(this, 503, 329);
    TDataSource* rules = &dbform.MapRulesTableDataSource;

    computerNameLabel = MakeLabel({8, 72, 198, 13}, "Where Computer Name matches or is like:");
    helpLabel = MakeLabel({8, 8, 489, 57}, kHelpText);
    helpLabel->setWordWrap(true);
    helpLabel->setGeometry(8, 8, 489, 57);
    helpLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    computername = new TDBEdit(this);
    computername->setGeometry(8, 88, 201, 21);
    computername->SetDataSource(rules);
    computername->SetDataField("RULENAME");
    printer1ComboBox = MakePrinterList(88, "UNCPath1");
    printer2ComboBox = MakePrinterList(128, "UNCPath2");
    printer3ComboBox = MakePrinterList(168, "UNCPath3");
    printer4ComboBox = MakePrinterList(208, "UNCPath4");
    printer1Label = MakeLabel({232, 72, 88, 13}, "Map 1st Printer as:");
    printer2Label = MakeLabel({232, 112, 92, 13}, "Map 2nd Printer as:");
    printer3Label = MakeLabel({232, 152, 89, 13}, "Map 3rd Printer as:");
    printer4Label = MakeLabel({232, 192, 89, 13}, "Map 4th Printer as:");
    defaultPrinterComboBox = new TDBComboBox(this);
    defaultPrinterComboBox->setGeometry(8, 170, 209, 21);
    defaultPrinterComboBox->addItems({"1", "2", "3", "4", "5"});
    defaultPrinterComboBox->SetDataSource(rules);
    defaultPrinterComboBox->SetDataField("Default");
    defaultPrinterLabel =
        MakeLabel({8, 144, 209, 25}, "The Default Printer is Mapping Number: (Select 5 to "
                                     "leave local printer as default)");
    defaultPrinterLabel->setWordWrap(true);
    defaultPrinterLabel->setGeometry(8, 144, 209, 25);
    okButton = new QPushButton("OK", this);
    okButton->setGeometry(8, 200, 97, 25);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setGeometry(112, 200, 97, 25);
    activeCheckBox = new TDBCheckBox("This Rule is Active", this);
    activeCheckBox->setGeometry(8, 120, 201, 17);
    activeCheckBox->SetDataSource(rules);
    activeCheckBox->SetDataField("Active");
    networksLabel = MakeLabel({8, 240, 200, 13}, "Networks (empty: any network):");
    networksEdit = MakeConditionEdit(256, "Networks", "10.1.0.0/16 2001:db8:5::/48");
    groupsLabel = MakeLabel({8, 284, 200, 13}, "Groups (empty: any user):");
    groupsEdit = MakeConditionEdit(300, "Groups", "Staff, EXAMPLE\\Print Users");

    SetDefaultButton(okButton);
    SetCancelButton(cancelButton);
    connect(okButton, &QPushButton::clicked, this, &TRuleDetailsFrm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &TRuleDetailsFrm::cancelButtonClick);
    QWidget* order[] = {computername,     printer1ComboBox, printer2ComboBox,
                        printer3ComboBox, printer4ComboBox, defaultPrinterComboBox,
                        okButton,         cancelButton,     activeCheckBox,
                        networksEdit,     groupsEdit};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

QLabel* TRuleDetailsFrm::MakeLabel(const QRect& geometry, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(geometry);
    return label;
}

TDBLookupComboBox* TRuleDetailsFrm::MakePrinterList(int top, const QString& field)
{
    auto* list = new TDBLookupComboBox(this);
    list->setGeometry(232, top, 265, 21);
    list->SetDataSource(&dbform_.MapRulesTableDataSource);
    list->SetDataField(field);
    list->SetListSource(&dbform_.AvailablePrintersDataSource);
    list->SetKeyField("UNCName");
    list->SetListField("UNCName;Description");
    return list;
}

TDBEdit* TRuleDetailsFrm::MakeConditionEdit(int top, const QString& field, const QString& hint)
{
    auto* edit = new TDBEdit(this);
    edit->setGeometry(8, top, 489, 21);
    edit->setPlaceholderText(hint);
    edit->SetDataSource(&dbform_.MapRulesTableDataSource);
    edit->SetDataField(field);
    return edit;
}

bool TRuleDetailsFrm::ClientAddPath() const
{
    return !computername->isEnabled();
}

void TRuleDetailsFrm::FormShow()
{
    // Labels take the width of their text, as the original ones did: the font here may be
    // wider. Measured at the first showing, since measuring loads the fonts.
    if (!labelsSized_) {
        for (QLabel* label : {computerNameLabel, printer1Label, printer2Label, printer3Label,
                              printer4Label, networksLabel, groupsLabel})
            label->adjustSize();
        labelsSized_ = true;
    }
    dbform_.AvailablePrintersQuery.Close();
    dbform_.AvailablePrintersQuery.Open();
    // An older database that could not be brought up to date has no such fields.
    for (TDBEdit* edit : {networksEdit, groupsEdit})
        edit->setEnabled(!ClientAddPath() &&
                         dbform_.MapRulesTable.FindField(edit->DataField().toStdString()) >= 0);
}

// No computer name holds a blank, so such a rule would match no computer; it may still be
// what the administrator means (a client started with /CLIENTNAME="LAB 12").
bool TRuleDetailsFrm::BlankNameConfirmed()
{
    const QString name = computername->text();
    if (ClientAddPath() ||
        std::none_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); }))
        return true;
    Interaction::Message m;
    m.text = "The computer name \"" + name +
             "\" holds a blank. No computer's name does, so this rule would match no computer "
             "unless a client is started with that name (/CLIENTNAME). Save it anyway?";
    m.caption = windowTitle();
    m.buttons = QMessageBox::Yes | QMessageBox::No;
    m.icon = QMessageBox::Warning;
    return Interaction::ShowMessage(this, m) == QMessageBox::Yes;
}

// A text the clients could not read would keep the rule from applying anywhere; refused here,
// where it can still be corrected.
bool TRuleDetailsFrm::ConditionsRead()
{
    try {
        ParseNetworks(networksEdit->text().toStdString());
    } catch (const ConditionError& e) {
        return RefuseCondition(networksEdit, "networks", e);
    }
    try {
        ParseGroups(groupsEdit->text().toStdString());
    } catch (const ConditionError& e) {
        return RefuseCondition(groupsEdit, "groups", e);
    }
    return true;
}

bool TRuleDetailsFrm::RefuseCondition(TDBEdit* edit, const QString& what,
                                      const ConditionError& error)
{
    Interaction::Message m;
    m.text = "The rule's " + what + " do not read: " + QString::fromStdString(error.what()) + ".";
    m.caption = windowTitle();
    m.icon = QMessageBox::Warning;
    Interaction::ShowMessage(this, m);
    edit->setFocus(Qt::OtherFocusReason);
    return false;
}

void TRuleDetailsFrm::okButtonClick()
{
    if (!ConditionsRead() || !BlankNameConfirmed())
        return;
    RunOrReport([this] {
        dbform_.MapRulesTable.Post();
        done(1);
    });
}

void TRuleDetailsFrm::cancelButtonClick()
{
    RunOrReport([this] {
        dbform_.MapRulesTable.Cancel();
        done(-1);
    });
}

// Settles the pending rule before the close box closes: a rule the store refuses keeps the
// dialog open, where OK or Cancel can still end it.
bool TRuleDetailsFrm::FormCloseQuery()
{
    // The close box stores a changed rule, so it asks as OK does.
    if (dbform_.MapRulesTable.Modified() && (!ConditionsRead() || !BlankNameConfirmed()))
        return false;
    dbform_.MapRulesTable.CheckBrowseMode();
    return true;
}

void TRuleDetailsFrm::FormClose()
{
    dbform_.MapRulesTable.Refresh();
}
