#include "admin/printentry.h"

#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbedit.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QLabel>
#include <QPushButton>

TprinterEntryfrm::TprinterEntryfrm(Tdbform& dbform, QWidget* parent)
    : ModalDialog(parent), dbform_(dbform)
{
    setObjectName("printerEntryfrm");
    setWindowTitle("Printer Details");
    SetDialogFrame(this, 363, 148);
    TDataSource* printers = &dbform.PrintersTableDataSource;

    pathLabel = new QLabel("Printer UNC Path: (\\\\PRINTSRV\\LASER1, \\\\10.1.2.3\\LASER1)", this);
    pathLabel->setGeometry(8, 8, 347, 13);
    pathEdit = new TDBEdit(this);
    pathEdit->setGeometry(8, 24, 347, 21);
    pathEdit->SetDataSource(printers);
    pathEdit->SetDataField("UNCNAME");
    descriptionLabel = new QLabel("Printer Description: (Room 502, HP 1320)", this);
    descriptionLabel->setGeometry(8, 52, 347, 13);
    descriptionEdit = new TDBEdit(this);
    descriptionEdit->setGeometry(8, 68, 347, 21);
    descriptionEdit->SetDataSource(printers);
    descriptionEdit->SetDataField("Description");
    availableCheckBox = new TDBCheckBox("Printer is available to be mapped", this);
    availableCheckBox->setGeometry(8, 96, 347, 17);
    availableCheckBox->SetDataSource(printers);
    availableCheckBox->SetDataField("Available");
    okButton = new QPushButton("OK", this);
    okButton->setGeometry(98, 118, 80, 25);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setGeometry(186, 118, 80, 25);

    SetDefaultButton(okButton);
    SetCancelButton(cancelButton);
    connect(okButton, &QPushButton::clicked, this, &TprinterEntryfrm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &TprinterEntryfrm::cancelButtonClick);
    setTabOrder(pathEdit, descriptionEdit);
    setTabOrder(descriptionEdit, availableCheckBox);
    setTabOrder(availableCheckBox, okButton);
    setTabOrder(okButton, cancelButton);
}

void TprinterEntryfrm::okButtonClick()
{
    RunOrReport([this] {
        dbform_.printerstable.Post();
        done(1);
    });
}

void TprinterEntryfrm::cancelButtonClick()
{
    RunOrReport([this] {
        dbform_.printerstable.Cancel();
        done(-1);
    });
}

// The close box stores a changed row as the re-reading would, but first, so that a row the
// store refuses keeps the dialog open for the user to correct or cancel.
bool TprinterEntryfrm::FormCloseQuery()
{
    dbform_.printerstable.CheckBrowseMode();
    return true;
}

void TprinterEntryfrm::FormClose()
{
    dbform_.printerstable.Refresh();
}
