// The rule dialog as the client shows it: its add-a-rule path, end to end in one run.

#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbedit.h"
#include "shared/ruledetails.h"
#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// Yes to the question, then OK adds the rule for this computer, with its name pre-filled and
// fixed, and applies it in the same run; Cancel adds nothing and ends without a second check.
TEST(RuleDetailsDialog, FromTheClientOkAddsTheRuleAndAppliesItCancelAddsNothing)
{
    for (bool ok : {true, false}) {
        TempDir dir;
        MakeDatabase(dir.Path(), "INSERT INTO Config VALUES (0, 1);");
        GuiDriver gui;
        gui.Answer(QMessageBox::Yes);
        gui.OnShow([ok](QDialog& shown) {
            auto& form = dynamic_cast<TRuleDetailsFrm&>(shown);
            EXPECT_FALSE(form.computername->isEnabled());
            EXPECT_EQ(form.computername->text(), "Lab 7's PC");
            PickEntry(form.DBComboBox1, "5");
            QTest::mouseClick(ok ? form.Button1 : form.Button2, Qt::LeftButton);
        });
        ClientPass pass = RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=Lab 7's PC"});
        EXPECT_EQ(pass.exitCode, 0);
        EXPECT_EQ(gui.messages.size(), 1u);
        std::vector<std::string> statuses{"Connecting to Database", "Checking Rules"};
        if (ok)
            statuses.insert(statuses.end(),
                            {"Checking Rules", "Found Matching Rule: Lab 7's PC",
                             "Mapping Printers in Rule", "Setting Default Printer"});
        EXPECT_EQ(pass.statuses, statuses);
        EXPECT_EQ(QueryValue(dir.File("wddata.mdb"), "select group_concat(RULENAME || '|' || "
                                                     "\"Default\" || '|' || Active) from MapRules"),
                  ok ? "Lab 7's PC|5|1" : "<null>");
    }
}
