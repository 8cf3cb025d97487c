#pragma once

#include "admin/driverlist.h"
#include "platform/ui/modaldialog.h"

class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBEdit;
class TDBSearchComboBox;
class Tdbform;

// The note beside a control whose field this database lacks.
QString MissingFieldNote(const QString& field);

// Edits the current row of printerstable, which the caller put into insert or edit mode:
// OK posts, Cancel cancels, every close re-reads the table. The driver is picked from the
// drivers of this computer's printing system, read when the dialog is first shown.
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
    QLabel* driverLabel;
    TDBSearchComboBox* driverComboBox;
    // Why there is no list, or how to use it.
    QLabel* driverNote;

    void okButtonClick();
    void cancelButtonClick();

protected:
    bool FormCloseQuery() override;
    void FormClose() override;
    void FormShow() override;

private:
    void ShowDrivers();
    void SetDriverNote(const QString& text, const QString& why = QString());

    Tdbform& dbform_;
    DriverList drivers_;
};
