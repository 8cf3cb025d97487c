// The administration program over a real database file, driven as a user would: its main
// window, the printer and rule dialogs it opens, and the program's start.

#include "admin/wdConfig.h"
#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dbgrid.h"
#include "platform/dbwidgets/dblookupcombobox.h"
#include "platform/dbwidgets/dbsearchcombobox.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// Shown in this order: \\srv\color, \\srv\laser, None.
const char* const kPrinters = "INSERT INTO printers (UNCNAME, Description, Available) VALUES "
                              "('\\\\srv\\laser', 'Room 12', 1), "
                              "('\\\\srv\\color', '', 0);";

class AdminMainWindow : public ::testing::Test
{
protected:
    // The printer dialog asks no CUPS of the machine's: there is none at this socket.
    AdminMainWindow() { setenv("CUPS_SERVER", dir.File("no-cups.sock").c_str(), 1); }
    void Open(const std::string& sql) { MakeDatabase(dir.Path(), sql), Reopen(); }
    void Reopen()
    {
        forms.reset();
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        forms = std::make_unique<TConfigForms>(util);
        forms->dbform.SetConnection(false);
        M().show();
    }
    std::string Stored(const std::string& sql) { return QueryValue(dir.File("wddata.mdb"), sql); }
    Tadminmainfrm& M() { return forms->adminmainfrm; }
    TprinterEntryfrm& P() { return forms->printerEntryfrm; }
    TRuleDetailsFrm& R() { return forms->RuleDetailsFrm; }
    RowSet& Printers() { return forms->dbform.printerstable; }
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Replaces an edit's text as a user does: select all, type.
    static void Retype(QLineEdit* edit, const char* text)
    {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    static void ClickRow(TDBGrid* grid, int row, bool twice = false)
    {
        QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
        if (twice)
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
    static void ClickTitle(TDBGrid* grid, int column)
    {
        QHeaderView* titles = grid->horizontalHeader();
        QPoint at(titles->sectionViewportPosition(column) + 5, titles->height() / 2);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
    }
    // A grid's rows as shown, one column, joined by ','; or its selected row.
    static std::string Shown(TDBGrid* grid, int column = 0, bool selected = false)
    {
        QStringList rows;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            if (!selected || grid->selectionModel()->isRowSelected(r))
                rows << grid->model()->index(r, column).data().toString();
        return rows.join(',').toStdString();
    }

    TempDir dir;
    GuiDriver gui;
    std::unique_ptr<TConfigForms> forms;
};

} // namespace

TEST_F(AdminMainWindow, HasItsTitleSizeAndTabOrdersAndGridKeysMoveTheCurrentRow)
{
    Open(kPrinters);
    Tadminmainfrm& m = M();
    TprinterEntryfrm& p = P();
    TRuleDetailsFrm& r = R();
    EXPECT_EQ(m.windowTitle(), "KELVANE: Wendrell Config Screen");
    EXPECT_EQ(m.size(), QSize(877, 634));
    ExpectTabCycle({m.allowClientRulesCheckBox, m.clearFirstCheckBox, m.printLogonComboBox,
                    m.printersGrid, m.addPrinterButton, m.deletePrinterButton, m.editPrinterButton,
                    m.findPrintersButton, m.rulesGrid, m.addRuleButton, m.editRuleButton,
                    m.deleteRuleButton, m.testRulesButton, m.lastRunsButton});
    m.printersGrid->setFocus(Qt::TabFocusReason);
    const std::pair<Qt::Key, int> moves[] = {{Qt::Key_Home, 0}, {Qt::Key_End, 2},
                                             {Qt::Key_Up, 1},   {Qt::Key_PageUp, 0},
                                             {Qt::Key_Down, 1}, {Qt::Key_PageDown, 2}};
    for (auto [key, row] : moves) {
        QTest::keyClick(m.printersGrid, key);
        EXPECT_EQ(Printers().CurrentIndex(), row) << QKeySequence(key).toString().toStdString();
    }
    // Ctrl+Tab leaves a grid as Tab does.
    QTest::keyClick(m.printersGrid, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), m.addPrinterButton);
    m.printersGrid->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m.printersGrid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), m.printLogonComboBox);
    const std::pair<std::function<void()>, std::vector<QWidget*>> dialogs[] = {
        {[&] { Click(m.addPrinterButton); },
         {p.pathEdit, p.descriptionEdit, p.availableCheckBox, p.okButton, p.cancelButton,
          p.driverComboBox}},
        {[&] { Click(m.addRuleButton); },
         {r.computername, r.printer1ComboBox, r.printer2ComboBox, r.printer3ComboBox,
          r.printer4ComboBox, r.defaultPrinterComboBox, r.okButton, r.cancelButton,
          r.activeCheckBox, r.networksEdit, r.groupsEdit}},
        {[&] { forms->aboutfrm.ShowModal(); }, {forms->aboutfrm.okButton}}};
    for (auto& [open, order] : dialogs) {
        gui.OnShow([&order](QDialog& d) {
            ExpectTabCycle(order);
            d.close();
        });
        open();
    }
}

// OK, Return and the close box store what was typed, Cancel and Escape nothing, nor the close
// box an untouched row. A row the file refuses (a printer listed already in another case, a
// rule a trigger forbids) is reported and keeps its dialog open with the row pending.
TEST_F(AdminMainWindow, EachWayOutOfTheAddDialogsStoresOrDropsTheRow)
{
    Open(std::string(kPrinters) + "CREATE TRIGGER refuse BEFORE INSERT ON MapRules WHEN "
                                  "NEW.RULENAME = '\\\\SRV\\LASER' BEGIN "
                                  "SELECT RAISE(ABORT, 'refused by policy'); END;");
    enum End { Ok, Return, Cancel, Escape, CloseBox };
    const std::tuple<const char*, End> ways[] = {
        {"K1", Ok},       {"K2", Return}, {"no1", Cancel},        {"no2", Escape},
        {"K3", CloseBox}, {"", CloseBox}, {"\\\\SRV\\LASER", Ok}, {"\\\\SRV\\LASER", CloseBox}};
    for (bool printer : {true, false}) {
        QLineEdit* key = printer ? P().pathEdit : R().computername;
        QPushButton* ok = printer ? P().okButton : R().okButton;
        QPushButton* cancel = printer ? P().cancelButton : R().cancelButton;
        RowSet& table = printer ? Printers() : forms->dbform.MapRulesTable;
        gui.messages.clear();
        for (auto [typed, end] : ways) {
            gui.OnShow([&, typed, end](QDialog& shown) {
                QTest::keyClicks(key, typed);
                if (end == Ok || end == Cancel)
                    Click(end == Ok ? ok : cancel);
                else if (end == CloseBox)
                    shown.close();
                else
                    QTest::keyClick(key, end == Return ? Qt::Key_Return : Qt::Key_Escape);
                if (!shown.isVisible())
                    return;
                EXPECT_EQ(table.State(), DataSetState::Insert) << "refused, still pending";
                if (end == Ok)
                    Retype(key, "K4");
                Click(end == Ok ? ok : cancel);
            });
            Click(printer ? M().addPrinterButton : M().addRuleButton);
            EXPECT_EQ(table.State(), DataSetState::Browse) << "nothing is left pending";
        }
        EXPECT_EQ(Stored(printer ? "select group_concat(UNCNAME || Available) from printers "
                                   "where UNCNAME like 'K%'"
                                 : "select group_concat(RULENAME || Active) from MapRules"),
                  "K11,K21,K31,K41")
            << "new rows are available or active";
        ASSERT_EQ(gui.messages.size(), 2u);
        EXPECT_TRUE(gui.messages[1].text.contains(printer ? "is already in the printer list"
                                                          : "refused by policy"));
    }
}

// No computer name holds a blank: such a rule is stored only when the warning is answered Yes,
// by OK or by the close box.
TEST_F(AdminMainWindow, ARuleNameWithABlankIsStoredOnlyAfterTheWarning)
{
    Open("");
    for (bool closeBox : {false, true}) {
        gui.messages.clear();
        gui.OnShow([&](QDialog& shown) {
            QTest::keyClicks(R().computername, closeBox ? "LAB 13" : "LAB 12");
            gui.Answer(QMessageBox::No);
            closeBox ? (void)shown.close() : Click(R().okButton);
            EXPECT_TRUE(shown.isVisible()) << "No keeps the dialog open";
            gui.Answer(QMessageBox::Yes);
            closeBox ? (void)shown.close() : Click(R().okButton);
            EXPECT_FALSE(shown.isVisible());
        });
        Click(M().addRuleButton);
        ASSERT_EQ(gui.messages.size(), 2u);
        EXPECT_TRUE(gui.messages[0].text.contains("holds a blank"));
        EXPECT_EQ(gui.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }
    EXPECT_EQ(Stored("select group_concat(RULENAME) from MapRules"), "LAB 12,LAB 13");
}

// Edit and a double-click open the dialogs on the row clicked, and what is typed shows in the
// grid behind at once. The rule dialog's lists offer the available printers, show a slot's
// printer in any case or nothing, and store the key of the row picked, whichever column is
// clicked; they never change a slot by themselves.
TEST_F(AdminMainWindow, TheDialogsEditTheClickedRowAndTheListsNeverChangeASlotByThemselves)
{
    Open("INSERT INTO printers (UNCNAME, Description, Available) VALUES ('\\\\srv\\laser', 'Room "
         "12', 1), ('\\\\srv\\color', 'Hall', "
         "1), ('\\\\srv\\attic', 'Attic', 0); INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, "
         "UNCPath3, UNCPath4, \"Default\", Active) VALUES ('PC0', '', '', '', "
         "'', 1, 1), ('PC1', '\\\\srv\\laser', '\\\\SRV\\COLOR', NULL, NULL, 3, NULL);");
    TprinterEntryfrm& p = P();
    gui.OnShow([&](QDialog&) {
        EXPECT_EQ(p.pathEdit->text(), "\\\\srv\\laser");
        Retype(p.descriptionEdit, "Room 14");
        EXPECT_EQ(Shown(M().printersGrid, 1, true), "Room 14");
        QTest::keyClick(p.descriptionEdit, Qt::Key_Return);
    });
    ClickRow(M().printersGrid, 2); // \\srv\attic, \\srv\color, \\srv\laser, None
    Click(M().editPrinterButton);
    EXPECT_EQ(Stored("select Description from printers where UNCNAME like '%laser'"), "Room 14");
    TRuleDetailsFrm& r = R();
    gui.OnShow([&](QDialog& d) {
        EXPECT_EQ(EntryTexts(r.printer1ComboBox),
                  (QStringList{"\\\\srv\\color", "\\\\srv\\laser", "None"}));
        EXPECT_EQ(r.printer2ComboBox->currentText(), "\\\\srv\\color") << "in any case";
        EXPECT_EQ(r.defaultPrinterComboBox->currentText(), "3");
        EXPECT_EQ(r.activeCheckBox->checkState(), Qt::PartiallyChecked) << "an empty field";
        d.close();
    });
    ClickRow(M().rulesGrid, 1);
    Click(M().editRuleButton);

    // Meanwhile another administrator takes the laser away and offers the attic's printer.
    ExecSql(dir.File("wddata.mdb"), "UPDATE printers SET Available = 1 - Available WHERE "
                                    "UNCNAME LIKE '%laser' OR UNCNAME LIKE '%attic'");
    gui.OnShow([&](QDialog&) {
        EXPECT_EQ(EntryTexts(r.printer3ComboBox),
                  (QStringList{"\\\\srv\\attic", "\\\\srv\\color", "None"}));
        EXPECT_EQ(r.printer1ComboBox->currentIndex(), -1) << "a printer no longer offered";
        // The attic's printer, picked by its description in the open list.
        QAbstractItemView* list = r.printer3ComboBox->view();
        r.printer3ComboBox->showPopup();
        QRect cell = list->visualRect(list->model()->index(0, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          cell.intersected(list->viewport()->rect()).center());
        EXPECT_EQ(r.printer3ComboBox->currentText(), "\\\\srv\\attic");
        for (Qt::CheckState state : {Qt::Checked, Qt::Unchecked, Qt::Checked}) {
            QTest::keyClick(r.activeCheckBox, Qt::Key_Space);
            EXPECT_EQ(r.activeCheckBox->checkState(), state);
        }
        PickEntry(r.defaultPrinterComboBox, "1");
        QTest::keyClick(r.computername, Qt::Key_Return);
    });
    ClickRow(M().rulesGrid, 1, true);
    EXPECT_EQ(Stored("select UNCPath1 || '|' || UNCPath2 || '|' || UNCPath3 || '|' || "
                     "\"Default\" || '|' || Active from MapRules where RULENAME = 'PC1'"),
              "\\\\srv\\laser|\\\\SRV\\COLOR|\\\\srv\\attic|1|1");
    EXPECT_TRUE(gui.messages.empty());
}

// A rule's networks and groups are stored as typed and shown in the grid; a text the clients
// could not read is refused by OK and by the close box with a message naming the bad part, and
// the row stays pending. A database without the fields offers neither and takes rules as before.
TEST_F(AdminMainWindow, ARulesNetworksAndGroupsAreCheckedStoredAndShown)
{
    Open("");
    TRuleDetailsFrm& r = R();
    const std::tuple<const char*, const char*, bool, const char*> refusals[] = {
        {"10.1.0.0/16, 10.0.0.0/33", "", false,
         "The rule's networks do not read: \"10.0.0.0/33\" is not a network: the prefix"},
        {"10.1.0.0/16", "Staff,,Others", true,
         "The rule's groups do not read: a group name is empty"}};
    gui.OnShow([&](QDialog& d) {
        QTest::keyClicks(r.computername, "LAB*");
        for (const auto& [networks, groups, closeBox, message] : refusals) {
            Retype(r.networksEdit, networks);
            Retype(r.groupsEdit, groups);
            closeBox ? (void)d.close() : Click(r.okButton);
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(forms->dbform.MapRulesTable.State(), DataSetState::Insert);
            EXPECT_TRUE(gui.messages.back().text.startsWith(message)) << message;
        }
        Retype(r.networksEdit, "10.1.0.0/16 2001:db8:5::/48");
        Retype(r.groupsEdit, "Staff, EXAMPLE\\Print Users");
        QTest::keyClick(r.groupsEdit, Qt::Key_Return);
    });
    Click(M().addRuleButton);
    EXPECT_EQ(gui.messages.size(), 2u);
    EXPECT_EQ(Stored("select RULENAME || '|' || Networks || '|' || Groups from MapRules"),
              "LAB*|10.1.0.0/16 2001:db8:5::/48|Staff, EXAMPLE\\Print Users");
    EXPECT_EQ(Shown(M().rulesGrid, 7) + "|" + Shown(M().rulesGrid, 8),
              "10.1.0.0/16 2001:db8:5::/48|Staff, EXAMPLE\\Print Users");

    ExecSql(dir.File("wddata.mdb"),
            "ALTER TABLE MapRules DROP COLUMN Networks; ALTER TABLE MapRules DROP COLUMN Groups;");
    Reopen();
    gui.OnShow([&](QDialog&) {
        EXPECT_FALSE(R().networksEdit->isEnabled() || R().groupsEdit->isEnabled());
        QTest::keyClicks(R().computername, "OLD");
        Click(R().okButton);
    });
    Click(M().addRuleButton);
    EXPECT_EQ(Stored("select group_concat(RULENAME) from MapRules"), "LAB*,OLD");
    TDBGrid* grid = M().rulesGrid;
    EXPECT_TRUE(!grid->isColumnHidden(6) && grid->isColumnHidden(7) && grid->isColumnHidden(8));
    // Brought up to date as it opens: the new fields are there at once.
    OpenDatabase(forms->dbform);
    EXPECT_FALSE(grid->isColumnHidden(7));
}

TEST_F(AdminMainWindow, DeletingAsksInTheGridAndKeepsThePrinterNamedExactlyNone)
{
    Open("");
    Click(M().deleteRuleButton); // an empty rule list is no fault
    const char* exactNone = "select count(*) from printers where UNCNAME = 'None' COLLATE BINARY";
    Click(M().deletePrinterButton);
    EXPECT_EQ(Stored(exactNone), "1");
    ExecSql(dir.File("wddata.mdb"), "UPDATE printers SET UNCNAME = 'none'; INSERT INTO MapRules "
                                    "(RULENAME) VALUES ('PC1'), ('PC2'), ('PC3');");
    Reopen();
    EXPECT_EQ(Stored(exactNone), "0") << "\"none\" counts as the reserved row when opening";
    Click(M().deletePrinterButton);
    Click(M().deletePrinterButton);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text, "There is no printer to delete.");
    Click(M().deleteRuleButton);
    gui.Answer(QMessageBox::No);
    QTest::keyClick(M().rulesGrid, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(M().rulesGrid, Qt::Key_Delete);
    gui.Answer(QMessageBox::Yes);
    QTest::keyClick(M().rulesGrid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(gui.messages.size(), 3u) << "Delete alone asks nothing";
    EXPECT_EQ(gui.messages[2].text, "Delete the rule \"PC2\"?") << "kept after No";
    EXPECT_EQ(gui.messages[2].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Stored("select group_concat(RULENAME) from MapRules"), "PC3");
    EXPECT_EQ(Shown(M().rulesGrid, 0, true), "PC3") << "the next row becomes current";
    Reopen();
    EXPECT_EQ(Stored(exactNone), "1");
}

TEST_F(AdminMainWindow, TheOptionsAreStoredWhenItClosesAndARefusalIsShown)
{
    Open("INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 0);");
    const char* options = "select AllowClientSelection || ClearPrintersFirst from Config";
    Click(M().allowClientRulesCheckBox);
    Click(M().clearFirstCheckBox);
    EXPECT_EQ(Stored(options), "00") << "not before closing";
    M().close();
    EXPECT_EQ(Stored(options), "11");

    ExecSql(dir.File("wddata.mdb"), "CREATE TRIGGER locked BEFORE UPDATE ON Config BEGIN "
                                    "SELECT RAISE(ABORT, 'locked'); END;");
    Reopen();
    Click(M().clearFirstCheckBox);
    M().close();
    EXPECT_FALSE(M().isVisible());
    EXPECT_EQ(Stored(options), "11");
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text, "The global options were not stored.");
    EXPECT_TRUE(gui.messages[0].details.contains("locked"));
}

// What the clients make of the print logon shows, and the choice is stored when it closes.
TEST_F(AdminMainWindow, ThePrintLogonShowsWhatItMeansAndIsStoredWhenItCloses)
{
    Open("");
    const std::pair<const char*, const char*> values[] = {
        {"NULL", "none"}, {"''", "none"}, {"'KERBEROS'", "kerberos"}, {"'ntlm'", "none"}};
    for (auto [stored, shown] : values) {
        ExecSql(dir.File("wddata.mdb"),
                std::string("UPDATE Config SET PrintAuthentication = ") + stored);
        Reopen();
        EXPECT_EQ(M().printLogonComboBox->currentText(), shown) << stored;
    }
    PickEntry(M().printLogonComboBox, "password");
    const char* logon = "select PrintAuthentication from Config";
    EXPECT_EQ(Stored(logon), "ntlm") << "not before closing";
    M().close();
    EXPECT_EQ(Stored(logon), "password");
}

// A printing system that cannot be asked leaves a plain edit and says why, without a message.
TEST_F(AdminMainWindow, WithoutTheListOfDriversADriverIsTypedAndTheNoteSaysWhy)
{
    Open(kPrinters);
    gui.OnShow([&](QDialog&) {
        QLabel* note = P().driverNote;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !note->text().startsWith("Reading"); }, 20000));
        EXPECT_TRUE(note->text().startsWith("No list of drivers: Cannot reach"))
            << note->text().toStdString();
        EXPECT_TRUE(P().driverComboBox->toolTip().contains("no-cups.sock"));
        QTest::keyClicks(P().driverComboBox->lineEdit(), "my.ppd");
        Click(P().okButton);
    });
    ClickRow(M().printersGrid, 0);
    Click(M().editPrinterButton);
    EXPECT_EQ(Stored("select Driver from printers where UNCNAME like '%color'"), "my.ppd");
    EXPECT_TRUE(gui.messages.empty());
}

// An older database that wdConfig could not bring up to date: the driver and the print logon
// cannot be chosen and say why, and the rest works. Brought up to date, both can.
TEST_F(AdminMainWindow, AnOlderDatabaseLacksTheDriverAndThePrintLogonUntilBroughtUpToDate)
{
    Open(std::string(kPrinters) + "ALTER TABLE printers DROP COLUMN Driver; "
                                  "ALTER TABLE Config DROP COLUMN PrintAuthentication;");
    const auto expectFields = [this](bool present) {
        EXPECT_EQ(M().printLogonComboBox->isEnabled(), present);
        EXPECT_EQ(M().printLogonComboBox->currentText(), "none");
        EXPECT_EQ(M().printLogonNote->text().contains("no field PrintAuthentication"), !present);
        EXPECT_EQ(M().printersGrid->isColumnHidden(3), !present);
        gui.OnShow([this, present](QDialog&) {
            EXPECT_EQ(P().driverComboBox->isEnabled(), present);
            EXPECT_EQ(P().driverNote->text().contains("no field Driver"), !present);
            Retype(P().descriptionEdit, present ? "Room 15" : "Room 14");
            Click(P().okButton);
        });
        ClickRow(M().printersGrid, 0);
        Click(M().editPrinterButton);
    };
    expectFields(false);
    const char* options = "select ClearPrintersFirst || Description from Config, printers "
                          "where UNCNAME like '%color'";
    Click(M().clearFirstCheckBox);
    M().close();
    EXPECT_EQ(Stored(options), "0Room 14");
    OpenDatabase(forms->dbform);
    expectFields(true);
    EXPECT_TRUE(gui.messages.empty());
}

// A title click sorts by its column, in turns up and down across both grids, and keeps the
// current row selected and the widths the user chose. The columns fit without a horizontal
// scroll bar, also when a vertical one comes.
TEST_F(AdminMainWindow, GridsSortByTitleInTurnsAndFitTheirColumns)
{
    Open(std::string(kPrinters) + "INSERT INTO MapRules (RULENAME) VALUES ('A'), ('C'), ('B');");
    M().rulesGrid->horizontalHeader()->resizeSection(1, 100);
    ClickTitle(M().printersGrid, 0);
    EXPECT_EQ(Shown(M().printersGrid), "\\\\srv\\color,\\\\srv\\laser,None");
    ClickTitle(M().rulesGrid, 0);
    EXPECT_EQ(Shown(M().rulesGrid) + "|" + Shown(M().rulesGrid, 0, true), "C,B,A|A")
        << "the current row, at its new place";
    ClickTitle(M().printersGrid, 1);
    EXPECT_EQ(Shown(M().printersGrid, 1), ",No Printer,Room 12");
    ClickTitle(M().printersGrid, 0);
    EXPECT_EQ(Shown(M().printersGrid), "None,\\\\srv\\laser,\\\\srv\\color");
    EXPECT_EQ(M().rulesGrid->columnWidth(1), 100) << "the width the user chose";
    EXPECT_EQ(M().printersGrid->model()->headerData(0, Qt::Horizontal).toString(),
              "Printer UNC Path");

    for (bool many : {false, true}) {
        if (many) {
            ExecSql(dir.File("wddata.mdb"),
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
                    "INSERT INTO printers (UNCNAME) SELECT 'p' || i FROM n; "
                    "INSERT INTO MapRules (RULENAME) SELECT UNCNAME FROM printers;");
            Printers().Refresh();
            forms->dbform.MapRulesTable.Refresh();
        }
        QCoreApplication::processEvents();
        for (TDBGrid* grid : {M().printersGrid, M().rulesGrid}) {
            EXPECT_EQ(grid->verticalScrollBar()->isVisible(), many);
            EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
        }
    }
}

// The about box comes first and its close box leads on to the main window; a database that
// cannot be opened is reported before any window and gives 1.
TEST(WdConfig, ShowsTheAboutBoxThenTheMainWindowOrAnOpeningError)
{
    for (bool present : {true, false}) {
        TempDir dir;
        if (present)
            MakeDatabase(dir.Path());
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        GuiDriver gui;
        gui.OnShow([](QDialog& about) { about.close(); });
        bool mainShown = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "adminmainfrm" && w->isVisible())
                    mainShown = w->close();
        });
        closer.start(0);
        EXPECT_EQ(RunWdConfig(util), present ? 0 : 1);
        EXPECT_EQ(mainShown, present);
        ASSERT_EQ(gui.messages.size(), present ? 0u : 1u);
        EXPECT_TRUE(present || (gui.messages[0].text.contains("wddata.mdb") &&
                                gui.messages[0].caption == "Wendrell Configuration Screen"));
    }
}
