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

    QLabel* pathLabel;
    TDBEdit* pathEdit;
    QLabel* descriptionLabel;
    TDBEdit* descriptionEdit;
    TDBCheckBox* availableCheckBox;
    QPushButton* okButton;
    QPushButton* cancelButton;

    void okButtonClick();
    void cancelButtonClick();

protected:
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    Tdbform& dbform_;
};
