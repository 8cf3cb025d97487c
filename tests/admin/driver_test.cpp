// The printer dialog's driver list over the drivers of the private cupsd, driven as a user
// would: the list arrives while the dialog answers, typing narrows it, a pick stores the name.

#include "admin/wdConfig.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dbgrid.h"
#include "platform/dbwidgets/dbsearchcombobox.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const QString kDymo = "drv:///sample.drv/dymo.ppd";
const QString kGeneric = "drv:///sample.drv/generic.ppd"; // Generic PostScript Printer

// The entries offered for what was typed, by name.
QStringList Offered(QComboBox* box)
{
    QStringList names;
    QAbstractItemModel* offered = box->completer()->completionModel();
    for (int row = 0; row < offered->rowCount(); ++row)
        names << offered->index(row, 0).data().toString();
    return names;
}

} // namespace

TEST(PrinterDriver, TheListArrivesWhileTheDialogAnswersNarrowsAsTypedAndAPickStoresTheName)
{
    TestServers::Load().Export();
    TempDir dir;
    const std::string path =
        MakeDatabase(dir.Path(), "INSERT INTO printers (UNCNAME, Driver) VALUES "
                                 "('\\\\srv\\a', 'drv:///old.ppd'), ('\\\\srv\\b', NULL);");
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    GuiDriver gui;
    TConfigForms forms(util);
    forms.dbform.SetConnection(false);
    forms.adminmainfrm.show();
    TprinterEntryfrm& p = forms.printerEntryfrm;
    TDBSearchComboBox* box = p.driverComboBox;

    auto edit = [&](const char* printer, std::function<void(QDialog&)> actions) {
        gui.OnShow([&, actions](QDialog& shown) {
            actions(shown);
            QTest::mouseClick(p.okButton, Qt::LeftButton);
        });
        forms.dbform.printerstable.Locate("UNCNAME", printer);
        QTest::mouseClick(forms.adminmainfrm.editPrinterButton, Qt::LeftButton);
    };
    edit("\\\\srv\\a", [&](QDialog& shown) {
        EXPECT_EQ(box->count(), 0) << "the dialog opened before the list was read";
        EXPECT_EQ(box->currentText(), "drv:///old.ppd");
        ASSERT_TRUE(QTest::qWaitFor([&] { return box->count() > 0; }, 20000));
        EXPECT_EQ(box->currentText(), "drv:///old.ppd");
        EXPECT_FALSE(forms.dbform.printerstable.Modified()) << "the list changes no field";
        QTest::keyClicks(p.descriptionEdit, "Hall");
        // Found by the make and model alone, and by the name in another case.
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), "POSTSCRIPT");
        EXPECT_TRUE(Offered(box).contains(kGeneric));
        EXPECT_FALSE(Offered(box).contains(kDymo));
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), "sample.drv/DYMO");
        EXPECT_EQ(Offered(box), QStringList{kDymo});
        QAbstractItemView* list = box->completer()->popup();
        ASSERT_TRUE(list->isVisible());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_TRUE(shown.isVisible()) << "Enter picked, and did not press OK";
        EXPECT_EQ(box->currentText(), kDymo);
    });
    // The entry picked for one printer, picked again from the whole list for the next.
    for (const char* printer : {"\\\\srv\\b", "None"})
        edit(printer, [&](QDialog&) {
            box->showPopup();
            QAbstractItemView* list = box->view();
            const QModelIndex generic = list->model()->index(EntryTexts(box).indexOf(kGeneric), 1);
            list->scrollTo(generic);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(generic).center());
        });
    edit("\\\\srv\\b", [&](QDialog&) { box->lineEdit()->clear(); });

    EXPECT_EQ(QueryValue(path, "SELECT group_concat(UNCNAME || ':' || ifnull(Driver, '') || ':' || "
                               "ifnull(Description, ''), '|') FROM (SELECT * FROM printers "
                               "ORDER BY UNCNAME)"),
              ("\\\\srv\\a:" + kDymo + ":Hall|\\\\srv\\b::|None:" + kGeneric + ":No Printer")
                  .toStdString());
    TDBGrid* grid = forms.adminmainfrm.printersGrid;
    EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal).toString(), "Driver");
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), kDymo);
    EXPECT_TRUE(gui.messages.empty());
}
