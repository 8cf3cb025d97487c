#pragma once

#include "platform/ui/modaldialog.h"

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

    QLabel* Label1;
    QLabel* Label2;
    TDBEdit* computername;
    TDBLookupComboBox* DBLookupComboBox1;
    TDBLookupComboBox* DBLookupComboBox2;
    TDBLookupComboBox* DBLookupComboBox3;
    TDBLookupComboBox* DBLookupComboBox4;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    TDBComboBox* DBComboBox1;
    QLabel* Label7;
    QPushButton* Button1;
    QPushButton* Button2;
    TDBCheckBox* DBCheckBox1;

    void Button1Click();
    void Button2Click();

protected:
    void FormShow() override;
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    TDBLookupComboBox* MakePrinterList(int top, const QString& field);
    // False when the name holds a blank and the user would rather correct it.
    bool BlankNameConfirmed();
    QLabel* MakeLabel(const QRect& geometry, const QString& text);

    Tdbform& dbform_;
    bool labelsSized_ = false;
};
