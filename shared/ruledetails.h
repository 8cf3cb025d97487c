#pragma once

#include "platform/ui/modaldialog.h"

class ConditionError;
class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBComboBox;
class TDBEdit;
class TDBLookupComboBox;
class Tdbform;

// The rule dialog: edits the current row of MapRulesTable in place. The caller appends or
// edits first; OK posts (result 1), Cancel cancels (-1), every close re-reads the table.
class TRuleDetailsFrm : public ModalDialog
{
    Q_OBJECT
public:
    explicit TRuleDetailsFrm(Tdbform& dbform, QWidget* parent = nullptr);

    QLabel* computerNameLabel;
    QLabel* helpLabel;
    TDBEdit* computername;
    TDBLookupComboBox* printer1ComboBox;
    TDBLookupComboBox* printer2ComboBox;
    TDBLookupComboBox* printer3ComboBox;
    TDBLookupComboBox* printer4ComboBox;
    QLabel* printer1Label;
    QLabel* printer2Label;
    QLabel* printer3Label;
    QLabel* printer4Label;
    TDBComboBox* defaultPrinterComboBox;
    QLabel* defaultPrinterLabel;
    QPushButton* okButton;
    QPushButton* cancelButton;
    TDBCheckBox* activeCheckBox;
    // The rule's optional conditions; disabled where the table lacks them.
    QLabel* networksLabel;
    TDBEdit* networksEdit;
    QLabel* groupsLabel;
    TDBEdit* groupsEdit;

    void okButtonClick();
    void cancelButtonClick();

protected:
    void FormShow() override;
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    TDBLookupComboBox* MakePrinterList(int top, const QString& field);
    TDBEdit* MakeConditionEdit(int top, const QString& field, const QString& hint);
    // The client adds a rule named after its own computer, for any network and any user.
    bool ClientAddPath() const;
    // False, after saying which part does not read, when the networks or groups would not
    // be understood by the clients.
    bool ConditionsRead();
    bool RefuseCondition(TDBEdit* edit, const QString& what, const ConditionError& error);
    // False when the name holds a blank and the user would rather correct it.
    bool BlankNameConfirmed();
    QLabel* MakeLabel(const QRect& geometry, const QString& text);

    Tdbform& dbform_;
    bool labelsSized_ = false;
};
