// The administration program over a real database file: its main window, the printer
// dialog, and a client running beside it.

#include "admin/wdConfig.h"
#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dbgrid.h"
#include "platform/dbwidgets/dblookupcombobox.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{

class AdminTest : public ::testing::Test
{
protected:
    void Open(const std::string& sql)
    {
        MakeDatabase(dir.Path(), sql);
        Reopen();
    }
    void Reopen()
    {
        forms.reset();
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        forms = std::make_unique<TConfigForms>(util);
        forms->dbform.SetConnection(false);
        forms->adminmainfrm.show();
    }
    std::string Stored(const std::string& sql) { return QueryValue(dir.File("wddata.mdb"), sql); }
    Tadminmainfrm& Main() { return forms->adminmainfrm; }
    TprinterEntryfrm& PrinterDialog() { return forms->printerEntryfrm; }
    TRuleDetailsFrm& RuleDialog() { return forms->RuleDetailsFrm; }
    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void DoubleClickRow(TDBGrid* grid, RowSet& rs, const char* field, const char* value)
    {
        ASSERT_TRUE(rs.Locate(field, value));
        QRect cell = grid->visualRect(grid->model()->index(rs.CurrentIndex(), 0));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // Replaces an edit's text as a user does: select all, type.
    static void Retype(QLineEdit* edit, const char* text)
    {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    void ClickTitle(TDBGrid* grid, int column)
    {
        QHeaderView* header = grid->horizontalHeader();
        QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                  header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    std::vector<std::string> Column(RowSet& rs, const char* field)
    {
        std::vector<std::string> out;
        int c = rs.FindField(field);
        for (int r = 0; r < rs.RecordCount(); ++r)
            out.push_back(ValueText(rs.ValueAt(r, c), rs.ColumnAt(c).type));
        return out;
    }

    TempDir dir;
    GuiDriver gui;
    std::unique_ptr<TConfigForms> forms;
};

using Names = std::vector<std::string>;
const char* const kPrinters =
    "INSERT INTO printers VALUES ('\\\\srv\\laser', 'Room 12', 1), ('\\\\srv\\color', '', 1);";
const char* const kRules = "INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('PC1', 'None'), "
                           "('PC2', 'None');";

} // namespace

TEST_F(AdminTest, PrinterAddOkStoresAndCancelStoresNothing)
{
    Open(kPrinters);
    gui.OnShow([&](QDialog&) {
        QTest::keyClicks(PrinterDialog().DBEdit1, "\\\\srv\\new one");
        QTest::keyClicks(PrinterDialog().DBEdit2, "Room 3");
        QTest::keyClick(PrinterDialog().DBEdit2, Qt::Key_Return);
    });
    Click(Main().Button1);
    EXPECT_EQ(Stored("select Description || Available from printers where UNCNAME = "
                     "'\\\\srv\\new one'"),
              "Room 31");
    EXPECT_EQ(forms->dbform.printerstable.RecordCount(), 4);

    gui.OnShow([&](QDialog&) {
        QTest::keyClicks(PrinterDialog().DBEdit1, "\\\\srv\\dropped");
        Click(PrinterDialog().Button2);
    });
    Click(Main().Button1);
    EXPECT_EQ(Stored("select count(*) from printers"), "4");
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(AdminTest, PrinterCloseBoxStoresATypedPathAndDropsAnUntouchedOne)
{
    Open(kPrinters);
    gui.OnShow([&](QDialog& d) {
        QTest::keyClicks(PrinterDialog().DBEdit1, "\\\\srv\\typed");
        d.close();
    });
    Click(Main().Button1);
    gui.OnShow([](QDialog& d) { d.close(); });
    Click(Main().Button1);
    EXPECT_EQ(Stored("select group_concat(UNCNAME, ',') from (select UNCNAME from printers "
                     "order by UNCNAME)"),
              "\\\\srv\\color,\\\\srv\\laser,\\\\srv\\typed,None");
}

TEST_F(AdminTest, ADuplicatePathInAnyCaseIsRefusedAndTheDialogStaysOpen)
{
    Open(kPrinters);
    gui.OnShow([&](QDialog& d) {
        QTest::keyClicks(PrinterDialog().DBEdit1, "\\\\SRV\\LASER");
        Click(PrinterDialog().Button1);
        EXPECT_TRUE(d.isVisible());
        PrinterDialog().DBEdit1->setText("\\\\srv\\laser2");
        Click(PrinterDialog().Button1);
    });
    Click(Main().Button1);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text, "\"\\\\SRV\\LASER\" is already in the printer list (letter "
                                    "case does not count), so the printer was not stored.");
    EXPECT_EQ(gui.messages[0].caption, QApplication::applicationName());
    EXPECT_EQ(Stored("select count(*) from printers"), "4");
}

TEST_F(AdminTest, DeleteKeepsExactlyNoneAndTheNextOpeningAddsItAgain)
{
    Open(kPrinters);
    ASSERT_TRUE(forms->dbform.printerstable.Locate("UNCNAME", "None"));
    Click(Main().Button2);
    const char* exactNone = "select count(*) from printers where UNCNAME = 'None' COLLATE BINARY";
    EXPECT_EQ(Stored(exactNone), "1");

    ExecSql(dir.File("wddata.mdb"), "UPDATE printers SET UNCNAME = 'none' WHERE UNCNAME = 'None'");
    Reopen();
    EXPECT_EQ(Stored(exactNone), "0") << "\"none\" counts as the reserved row when opening";
    ASSERT_TRUE(forms->dbform.printerstable.Locate("UNCNAME", "none"));
    Click(Main().Button2);
    EXPECT_EQ(Stored("select count(*) from printers where UNCNAME like 'none'"), "0");
    Reopen();
    EXPECT_EQ(Stored(exactNone), "1");
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(AdminTest, DeleteOnAnEmptyListDoesNothingAndSaysSoForPrinters)
{
    Open("");
    Click(Main().Button6);
    EXPECT_TRUE(gui.messages.empty());
    EXPECT_EQ(forms->dbform.MapRulesTable.RecordCount(), 0);
    ExecSql(dir.File("wddata.mdb"), "DELETE FROM printers");
    forms->dbform.printerstable.Refresh();
    Click(Main().Button2);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text, "There is no printer to delete.");
}

TEST_F(AdminTest, TitleClicksAlternateTheDirectionAcrossBothGrids)
{
    Open(std::string(kPrinters) + "INSERT INTO MapRules (RULENAME) VALUES ('B'), ('A'), ('C');");
    RowSet& printers = forms->dbform.printerstable;
    RowSet& rules = forms->dbform.MapRulesTable;
    ClickTitle(Main().DBGrid1, 0);
    EXPECT_EQ(printers.Sort(), "UNCNAME ASC");
    ClickTitle(Main().DBGrid2, 0);
    EXPECT_EQ(rules.Sort(), "RULENAME DESC");
    EXPECT_EQ(Column(rules, "RULENAME"), (Names{"C", "B", "A"}));
    ClickTitle(Main().DBGrid1, 1);
    EXPECT_EQ(printers.Sort(), "Description ASC");
    ClickTitle(Main().DBGrid1, 0);
    EXPECT_EQ(Column(printers, "UNCNAME"), (Names{"None", "\\\\srv\\laser", "\\\\srv\\color"}));
}

TEST_F(AdminTest, OptionsAreStoredWhenTheWindowCloses)
{
    Open("INSERT INTO Config VALUES (0, 0);");
    Click(Main().DBCheckBox1);
    EXPECT_EQ(Stored("select AllowClientSelection from Config"), "0") << "not before closing";
    Main().close();
    EXPECT_EQ(Stored("select AllowClientSelection || ClearPrintersFirst from Config"), "10");
}

TEST_F(AdminTest, ARefusedOptionsWriteIsShownAndTheWindowStillCloses)
{
    Open("INSERT INTO Config VALUES (0, 0); CREATE TRIGGER locked BEFORE UPDATE ON Config "
         "BEGIN SELECT RAISE(ABORT, 'locked'); END;");
    Click(Main().DBCheckBox2);
    Main().close();
    EXPECT_FALSE(Main().isVisible());
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text, "The global options were not stored.");
    EXPECT_TRUE(gui.messages[0].details.contains("locked"));
    EXPECT_EQ(Stored("select ClearPrintersFirst from Config"), "0");
}

TEST_F(AdminTest, TabWalksEachWindowInItsOrderAndLeavesTheGrids)
{
    Open(std::string(kPrinters) + kRules);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
    Tadminmainfrm& m = Main();
    ExpectTabCycle({m.DBCheckBox1, m.DBCheckBox2, m.DBGrid1, m.Button1, m.Button2, m.Button3,
                    m.Button7, m.DBGrid2, m.Button4, m.Button5, m.Button6});
    TprinterEntryfrm& p = PrinterDialog();
    gui.OnShow([&](QDialog&) {
        ExpectTabCycle({p.DBEdit1, p.DBEdit2, p.DBCheckBox1, p.Button1, p.Button2});
        QTest::keyClick(p.DBEdit1, Qt::Key_Escape);
    });
    m.Button3->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m.Button3, Qt::Key_Space);
    EXPECT_FALSE(p.isVisible());
    Taboutfrm& about = forms->aboutfrm;
    gui.OnShow([&](QDialog&) {
        ExpectTabCycle({about.Button1});
        QTest::keyClick(about.Button1, Qt::Key_Return);
    });
    EXPECT_EQ(about.ShowModal(), -1);
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(AdminTest, RulesAndPrintersAreAddedAndEditedFromTheMainWindow)
{
    Open(std::string(kPrinters) + kRules);
    RowSet& rules = forms->dbform.MapRulesTable;
    RowSet& printers = forms->dbform.printerstable;
    TRuleDetailsFrm& r = RuleDialog();
    TprinterEntryfrm& p = PrinterDialog();
    auto enterRule = [&](const char* name, const char* printer) {
        gui.OnShow([&r, name, printer](QDialog&) {
            Retype(r.computername, name);
            PickEntry(r.DBLookupComboBox1, printer);
            QTest::keyClick(r.computername, Qt::Key_Return);
        });
    };
    enterRule("LAB*", "\\\\srv\\laser");
    Click(Main().Button4);
    enterRule("PC1-A", "\\\\srv\\color");
    ASSERT_TRUE(rules.Locate("RULENAME", "PC1"));
    Click(Main().Button5);
    enterRule("PC2-B", "None");
    DoubleClickRow(Main().DBGrid2, rules, "RULENAME", "PC2");
    EXPECT_EQ(Stored("select group_concat(RULENAME || '=' || UNCPath1, ',') from (select * from "
                     "MapRules order by RULENAME)"),
              "LAB*=\\\\srv\\laser,PC1-A=\\\\srv\\color,PC2-B=None");

    gui.OnShow([&](QDialog&) {
        Retype(p.DBEdit2, "Room 14");
        QTest::keyClick(p.DBEdit2, Qt::Key_Return);
    });
    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\srv\\laser"));
    Click(Main().Button3);
    EXPECT_EQ(Stored("select Description from printers where UNCNAME like '%laser'"), "Room 14");
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(AdminTest, ARowRefusedAtTheCloseBoxKeepsTheDialogOpenUntilCancelled)
{
    Open(std::string(kPrinters) + "CREATE TRIGGER refuse BEFORE INSERT ON MapRules BEGIN "
                                  "SELECT RAISE(ABORT, 'refused by policy'); END;");
    struct Case {
        QPushButton* add;
        QLineEdit* edit;
        QPushButton* cancel;
        RowSet& table;
        TDBGrid* grid;
    } cases[] = {{Main().Button1, PrinterDialog().DBEdit1, PrinterDialog().Button2,
                  forms->dbform.printerstable, Main().DBGrid1},
                 {Main().Button4, RuleDialog().computername, RuleDialog().Button2,
                  forms->dbform.MapRulesTable, Main().DBGrid2}};
    for (Case& c : cases) {
        gui.messages.clear();
        int rows = c.table.RecordCount();
        gui.OnShow([&](QDialog& d) {
            QTest::keyClicks(c.edit, "\\\\SRV\\LASER");
            d.close();
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(c.table.State(), DataSetState::Insert);
            Click(c.cancel);
        });
        Click(c.add);
        EXPECT_EQ(gui.messages.size(), 1u);
        EXPECT_EQ(c.table.State(), DataSetState::Browse);
        ClickTitle(c.grid, 0);
        EXPECT_EQ(gui.messages.size(), 1u) << "nothing pending is left to refuse again";
        EXPECT_EQ(c.table.RecordCount(), rows);
    }
}

TEST_F(AdminTest, BothGridsShowTheirColumnsWithoutAHorizontalScrollBar)
{
    Open(kPrinters);
    for (bool many : {false, true}) {
        if (many) {
            ExecSql(dir.File("wddata.mdb"),
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
                    "INSERT INTO printers (UNCNAME) SELECT 'p' || i FROM n; "
                    "INSERT INTO MapRules (RULENAME) SELECT UNCNAME FROM printers;");
            forms->dbform.printerstable.Refresh();
            forms->dbform.MapRulesTable.Refresh();
        }
        QCoreApplication::processEvents();
        for (TDBGrid* grid : {Main().DBGrid1, Main().DBGrid2}) {
            EXPECT_EQ(grid->verticalScrollBar()->isVisible(), many);
            EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
        }
    }
}

TEST_F(AdminTest, TheAboutBoxsCloseBoxLeadsOnToTheMainWindow)
{
    MakeDatabase(dir.Path(), "");
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    gui.OnShow([](QDialog& about) { about.close(); });
    bool mainShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "adminmainfrm" && w->isVisible())
                mainShown = w->close();
    });
    closer.start(0);
    EXPECT_EQ(RunWdConfig(util), 0);
    EXPECT_TRUE(mainShown);
}

TEST_F(AdminTest, AnOpeningErrorIsShownBeforeAnyWindowAndGivesOne)
{
    EXPECT_EQ(RunWdConfig(TBrevUtil({"wdConfig"})), 1);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_TRUE(gui.messages[0].text.contains("wddata.mdb"));
    EXPECT_EQ(gui.messages[0].caption, "Wendrell Configuration Screen");
}

TEST_F(AdminTest, AClientRunsWhileTheAdministrationProgramHoldsTheFile)
{
    Open("INSERT INTO Config VALUES (0, 0); INSERT INTO MapRules (RULENAME, Active) "
         "VALUES ('LAB*', 0);");
    forms->dbform.printerstable.Edit(); // a printer being edited, Config pending too
    forms->dbform.printerstable.FieldByName("Description").SetAsString("pending");
    CopyClient(dir);
    QProcess client;
    client.start(QString::fromStdString(dir.File("wdclient")), {"/S", "/CLIENTNAME=LAB1"});
    ASSERT_TRUE(client.waitForFinished(20000));
    EXPECT_EQ(client.exitCode(), 0) << client.readAllStandardError().toStdString();
    forms->dbform.printerstable.Post();
    EXPECT_EQ(Stored("select count(*) from printers where Description = 'pending'"), "1");
}

TEST(AdminProgram, HelpSaysWhatItDoesAndItsExitCodes)
{
    QProcess p;
    p.start(WD_BINARY_DIR "/admin/wdConfig", {"--help"});
    ASSERT_TRUE(p.waitForFinished(10000));
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(out.contains("wddata.mdb") && out.contains("Exit codes")) << out.toStdString();
}
