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

    Label1 = new QLabel("Printer UNC Path: (\\\\PRINTSRV\\LASER1, \\\\10.1.2.3\\LASER1)", this);
    Label1->setGeometry(8, 8, 347, 13);
    DBEdit1 = new TDBEdit(this);
    DBEdit1->setGeometry(8, 24, 347, 21);
    DBEdit1->SetDataSource(printers);
    DBEdit1->SetDataField("UNCNAME");
    Label2 = new QLabel("Printer Description: (Room 502, HP 1320)", this);
    Label2->setGeometry(8, 52, 347, 13);
    DBEdit2 = new TDBEdit(this);
    DBEdit2->setGeometry(8, 68, 347, 21);
    DBEdit2->SetDataSource(printers);
    DBEdit2->SetDataField("Description");
    DBCheckBox1 = new TDBCheckBox("Printer is available to be mapped", this);
    DBCheckBox1->setGeometry(8, 96, 347, 17);
    DBCheckBox1->SetDataSource(printers);
    DBCheckBox1->SetDataField("Available");
    Button1 = new QPushButton("OK", this);
    Button1->setGeometry(98, 118, 80, 25);
    Button2 = new QPushButton("Cancel", this);
    Button2->setGeometry(186, 118, 80, 25);

    SetDefaultButton(Button1);
    SetCancelButton(Button2);
    connect(Button1, &QPushButton::clicked, this, &TprinterEntryfrm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TprinterEntryfrm::Button2Click);
    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, DBCheckBox1);
    setTabOrder(DBCheckBox1, Button1);
    setTabOrder(Button1, Button2);
}

void TprinterEntryfrm::Button1Click()
{
    RunOrReport([this] {
        dbform_.printerstable.Post();
        done(1);
    });
}

void TprinterEntryfrm::Button2Click()
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
