// The rule dialog over a real database file, and the client's add-a-rule path.

#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dblookupcombobox.h"
#include "shared/dbformmain.h"
#include "shared/ruledetails.h"
#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const char* const kPrinters = R"(
    INSERT INTO Config VALUES (0, 1);
    INSERT INTO printers VALUES ('\\srv\laser', 'Room 12', 1), ('\\srv\color', 'Hall', 1),
                                ('\\srv\off', 'unavailable', 0);)";

class RuleDialogTest : public ::testing::Test
{
protected:
    void Open(const std::string& sql = "")
    {
        MakeDatabase(dir.Path(), std::string(kPrinters) + sql);
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        dbform = std::make_unique<Tdbform>(util);
        dialog = std::make_unique<TRuleDetailsFrm>(*dbform);
        dbform->SetConnection(false);
    }
    std::string Stored(const std::string& sql) { return QueryValue(dir.File("wddata.mdb"), sql); }

    TempDir dir;
    GuiDriver gui;
    std::unique_ptr<Tdbform> dbform;
    std::unique_ptr<TRuleDetailsFrm> dialog;
};

} // namespace

TEST_F(RuleDialogTest, LayoutTextsAndTabOrder)
{
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Mapping Rule Details");
    EXPECT_EQ(dialog->size(), QSize(503, 233));
    EXPECT_TRUE(dialog->Label2->text().contains("eg if LA* is specified as the rule, then "
                                                "computers LAB001, LAB002 will have the rule"));
    EXPECT_EQ(dialog->DBCheckBox1->text(), "This Rule is Active");
    EXPECT_EQ(dialog->DBComboBox1->count(), 5);
    EXPECT_TRUE(dialog->Button1->isDefault());
    dbform->MapRulesTable.Append();
    gui.OnShow([&](QDialog& d) {
        ExpectTabCycle({dialog->computername, dialog->DBLookupComboBox1, dialog->DBLookupComboBox2,
                        dialog->DBLookupComboBox3, dialog->DBLookupComboBox4, dialog->DBComboBox1,
                        dialog->Button1, dialog->Button2, dialog->DBCheckBox1});
        d.close();
    });
    dialog->ShowModal();
}

TEST_F(RuleDialogTest, OkStoresTheNewRuleWithItsPrintersAndDefault)
{
    Open();
    dbform->MapRulesTable.Append();
    gui.OnShow([&](QDialog&) {
        QTest::keyClicks(dialog->computername, "LAB*");
        PickEntry(dialog->DBLookupComboBox1, "\\\\srv\\laser");
        PickEntry(dialog->DBLookupComboBox2, "None");
        PickEntry(dialog->DBComboBox1, "1");
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(dialog->ShowModal(), 1);
    EXPECT_EQ(Stored("select RULENAME || '|' || UNCPath1 || '|' || UNCPath2 || '|' || "
                     "\"Default\" || '|' || Active as v from MapRules"),
              "LAB*|\\\\srv\\laser|None|1|1");
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(RuleDialogTest, CancelAndEscapeStoreNothing)
{
    Open();
    dbform->MapRulesTable.Append();
    gui.OnShow([&](QDialog&) {
        QTest::keyClicks(dialog->computername, "LAB*");
        QTest::mouseClick(dialog->Button2, Qt::LeftButton);
    });
    EXPECT_EQ(dialog->ShowModal(), -1);
    dbform->MapRulesTable.Append();
    gui.OnShow([&](QDialog&) {
        QTest::keyClicks(dialog->computername, "PC1");
        QTest::keyClick(dialog->computername, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog->ShowModal(), -1);
    EXPECT_EQ(Stored("select count(*) as v from MapRules"), "0");
    EXPECT_EQ(dbform->MapRulesTable.RecordCount(), 0);
}

TEST_F(RuleDialogTest, TheCloseBoxPostsAChangedRowAndDropsAnUnchangedOne)
{
    Open("INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('PC9', '\\\\srv\\color');");
    dbform->MapRulesTable.Append();
    dialog->computername->setText("CLIENT7"); // as the client pre-fills it
    dialog->computername->setEnabled(false);
    gui.OnShow([](QDialog& d) { d.close(); });
    EXPECT_NE(dialog->ShowModal(), 1);
    EXPECT_EQ(Stored("select count(*) as v from MapRules where RULENAME = 'CLIENT7'"), "1");

    dbform->MapRulesTable.Locate("RULENAME", "PC9");
    dbform->MapRulesTable.Edit();
    gui.OnShow([](QDialog& d) { d.close(); });
    EXPECT_NE(dialog->ShowModal(), 1);
    EXPECT_EQ(dbform->MapRulesTable.State(), DataSetState::Browse);
    EXPECT_EQ(Stored("select count(*) as v from MapRules"), "2");
}

TEST_F(RuleDialogTest, AnUnavailablePrinterIsNotOfferedAndTheSlotKeepsIt)
{
    Open("INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2) VALUES ('PC1', '\\\\srv\\laser', "
         "'\\\\SRV\\COLOR');");
    dbform->MapRulesTable.Edit();
    gui.OnShow([&](QDialog& d) {
        EXPECT_EQ(EntryTexts(dialog->DBLookupComboBox1),
                  (QStringList{"\\\\srv\\color", "\\\\srv\\laser", "None"}));
        EXPECT_EQ(dialog->DBLookupComboBox2->currentText(), "\\\\srv\\color");
        d.close();
    });
    dialog->ShowModal();

    // Meanwhile another administrator takes the laser away and adds a printer.
    ExecSql(dir.File("wddata.mdb"),
            "UPDATE printers SET Available = 0 WHERE UNCNAME LIKE "
            "'%laser'; INSERT INTO printers VALUES ('\\\\srv\\new', '', 1)");
    dbform->MapRulesTable.Edit();
    gui.OnShow([&](QDialog&) {
        EXPECT_EQ(EntryTexts(dialog->DBLookupComboBox3),
                  (QStringList{"\\\\srv\\color", "\\\\srv\\new", "None"}));
        EXPECT_EQ(dialog->DBLookupComboBox1->currentText(), "");
        PickEntry(dialog->DBLookupComboBox3, "\\\\srv\\new");
        QTest::keyClick(dialog->computername, Qt::Key_Return);
    });
    EXPECT_EQ(dialog->ShowModal(), 1);
    EXPECT_EQ(Stored("select UNCPath1 || '|' || UNCPath3 as v from MapRules"),
              "\\\\srv\\laser|\\\\srv\\new");
}

TEST_F(RuleDialogTest, ARefusedRowKeepsTheDialogOpenAndPending)
{
    Open("CREATE TRIGGER refuse BEFORE INSERT ON MapRules WHEN NEW.RULENAME = 'BAD' "
         "BEGIN SELECT RAISE(ABORT, 'refused by policy'); END;");
    dbform->MapRulesTable.Append();
    gui.OnShow([&](QDialog& d) {
        QTest::keyClicks(dialog->computername, "BAD");
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(dbform->MapRulesTable.State(), DataSetState::Insert);
        dialog->computername->setText("GOOD");
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(dialog->ShowModal(), 1);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_TRUE(gui.messages[0].text.contains("refused by policy"));
    EXPECT_EQ(Stored("select group_concat(RULENAME) as v from MapRules"), "GOOD");
}

// The client's add path, end to end in one run.
class AddPathTest : public ::testing::Test
{
protected:
    std::vector<std::string> Run(const std::string& clientName, int* code)
    {
        ClientPass pass = RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=" + clientName});
        *code = pass.exitCode;
        return pass.statuses;
    }
    TempDir dir;
    GuiDriver gui;
    // The client's dialog, as the modal showing hands it over.
    static TRuleDetailsFrm& Form(QDialog& shown) { return dynamic_cast<TRuleDetailsFrm&>(shown); }
};

TEST_F(AddPathTest, YesThenOkAddsTheRuleAndAppliesItInTheSameRun)
{
    MakeDatabase(dir.Path(), kPrinters);
    gui.Answer(QMessageBox::Yes);
    gui.OnShow([&](QDialog& shown) {
        TRuleDetailsFrm& form = Form(shown);
        EXPECT_FALSE(form.computername->isEnabled());
        EXPECT_EQ(form.computername->text(), "Lab 7's PC");
        PickEntry(form.DBComboBox1, "5");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    int code = -1;
    std::vector<std::string> statuses = Run("Lab 7's PC", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Connecting to Database", "Checking Rules",
                                        "Checking Rules", "Found Matching Rule: Lab 7's PC",
                                        "Mapping Printers in Rule", "Setting Default Printer"}));
    EXPECT_EQ(QueryValue(dir.File("wddata.mdb"),
                         "select RULENAME || '|' || \"Default\" || '|' || Active from MapRules"),
              "Lab 7's PC|5|1");
}

TEST_F(AddPathTest, CancelAddsNothingAndEndsWithoutASecondCheck)
{
    MakeDatabase(dir.Path(), kPrinters);
    gui.Answer(QMessageBox::Yes);
    gui.OnShow([&](QDialog& shown) { QTest::mouseClick(Form(shown).Button2, Qt::LeftButton); });
    int code = -1;
    std::vector<std::string> statuses = Run("PC1", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(statuses, (std::vector<std::string>{"Connecting to Database", "Checking Rules"}));
    EXPECT_EQ(QueryValue(dir.File("wddata.mdb"), "select count(*) from MapRules"), "0");
}
