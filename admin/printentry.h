#pragma once

#include "platform/ui/modaldialog.h"

class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBEdit;
class Tdbform;

// Edits the current row of printerstable, which the caller put into insert or edit mode:
// OK posts, Cancel cancels, every close re-reads the table.
class TprinterEntryfrm : public ModalDialog
{
    Q_OBJECT
public:
    explicit TprinterEntryfrm(Tdbform& dbform, QWidget* parent = nullptr);

    QLabel* Label1;
    TDBEdit* DBEdit1;
    QLabel* Label2;
    TDBEdit* DBEdit2;
    TDBCheckBox* DBCheckBox1;
    QPushButton* Button1;
    QPushButton* Button2;

    void Button1Click();
    void Button2Click();

protected:
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    Tdbform& dbform_;
};
