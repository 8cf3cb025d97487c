// The single-field controls over real database files: what they show as the current row
// moves or the file changes, and what reaches the pending row and the file when they are
// changed.

#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbedit.h"
#include "tests/dbwidgets/dbwidgetsfixture.h"

#include <QAbstractItemView>
#include <QTest>

namespace
{

class dbwidgetsControls : public DbWidgetsTest
{
protected:
    void SetUp() override
    {
        DbWidgetsTest::SetUp();
        OpenDatabase(R"(
            INSERT INTO printers VALUES ('\\srv\a', 'first', 1);
            INSERT INTO printers VALUES ('\\srv\b', 'second', 0);
            INSERT INTO printers VALUES ('\\srv\c', 'third', NULL);
            INSERT INTO MapRules (RULENAME, "Default", Active) VALUES ('R1', 3, NULL);
            INSERT INTO MapRules (RULENAME, "Default", Active) VALUES ('R2', 9, 1);
            INSERT INTO MapRules (RULENAME, "Default", Active) VALUES ('R3', NULL, 0);)");
        printers.SetTableName("printers");
        printers.Open();
        rules.SetTableName("MapRules");
        rules.Open();
    }

    RowSet printers{connection, "printerstable"};
    TDataSource printersSource{printers};
    RowSet rules{connection, "MapRulesTable"};
    TDataSource rulesSource{rules};
};

} // namespace

TEST_F(dbwidgetsControls, EditShowsTheCurrentRowAndFollowsTheSet)
{
    TDBEdit edit;
    edit.SetDataSource(&printersSource);
    edit.SetDataField("uncname");
    EXPECT_EQ(edit.text(), "\\\\srv\\a");
    printers.Next();
    EXPECT_EQ(edit.text(), "\\\\srv\\b");

    ExecSql(path, "UPDATE printers SET UNCNAME = '\\\\srv\\B2' WHERE Description = 'second'");
    printers.Refresh();
    EXPECT_EQ(edit.text(), "\\\\srv\\B2");

    edit.SetDataField("DESCRIPTION");
    EXPECT_EQ(edit.text(), "second");
    edit.setEnabled(false);
    printers.Next();
    EXPECT_EQ(edit.text(), "third") << "a disabled edit still shows the value";

    printers.Close();
    EXPECT_EQ(edit.text(), "");
    printers.Open();
    EXPECT_EQ(edit.text(), "first");
    EXPECT_EQ(printers.State(), DataSetState::Browse) << "showing never writes";
}

TEST_F(dbwidgetsControls, TypingPutsABrowsingRowIntoEditAndReachesTheFile)
{
    TDBEdit edit;
    edit.SetDataSource(&printersSource);
    edit.SetDataField("Description");
    TDBEdit other;
    other.SetDataSource(&printersSource);
    other.SetDataField("description");

    QTest::keyClicks(&edit, "!");
    EXPECT_EQ(printers.State(), DataSetState::Edit);
    EXPECT_TRUE(printers.Modified());
    EXPECT_EQ(printers.FieldByName("Description").AsString(), "first!");
    EXPECT_EQ(other.text(), "first!") << "another control on the field follows at once";

    printers.Post();
    EXPECT_EQ(Stored("SELECT Description FROM printers WHERE UNCNAME = '\\\\srv\\a'"), "first!");
}

TEST_F(dbwidgetsControls, SetTextWritesTheFieldButShowingTheFieldNeverDoes)
{
    TDBEdit path;
    path.SetDataSource(&printersSource);
    path.SetDataField("UNCNAME");
    TDBEdit description;
    description.SetDataSource(&printersSource);
    description.SetDataField("Description");

    // A new row shown in the edits must stay unchanged, so that leaving it drops it.
    printers.Append();
    EXPECT_EQ(path.text(), "");
    EXPECT_FALSE(printers.Modified());
    printers.First();
    EXPECT_EQ(printers.RecordCount(), 3);
    EXPECT_EQ(Stored("SELECT count(*) FROM printers"), "3");

    // A caller pre-filling the edit makes the row count as changed.
    printers.Append();
    path.setText("\\\\srv\\new");
    EXPECT_TRUE(printers.Modified());
    EXPECT_EQ(printers.FieldByName("UNCNAME").AsString(), "\\\\srv\\new");
    printers.First();
    EXPECT_EQ(Stored("SELECT count(*) FROM printers WHERE UNCNAME = '\\\\srv\\new'"), "1");

    description.setText("from code");
    EXPECT_EQ(printers.State(), DataSetState::Edit) << "a browsing row goes into edit mode";
    EXPECT_EQ(printers.FieldByName("description").AsString(), "from code");
}

TEST_F(dbwidgetsControls, AValueTheStoreRefusesIsReportedAndTheFieldShownAgain)
{
    TDBEdit edit;
    edit.SetDataSource(&rulesSource);
    edit.SetDataField("Default");
    QTest::keyClicks(&edit, "x");
    EXPECT_NE(MessageTexts().find("not a whole number"), std::string::npos) << MessageTexts();
    EXPECT_EQ(edit.text(), "3");
    EXPECT_EQ(rules.FieldByName("Default").AsInteger(), 3);

    messages.clear();
    RowSet query(connection, "RuleQuery");
    query.SQL() = {"SELECT RULENAME FROM MapRules"};
    query.Open();
    TDataSource querySource(query);
    TDBEdit onQuery;
    onQuery.SetDataSource(&querySource);
    onQuery.SetDataField("RuleName");
    QTest::keyClicks(&onQuery, "x");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(MessageTexts().find("cannot be changed"), std::string::npos) << MessageTexts();
    EXPECT_EQ(onQuery.text(), "R1");

    // A closed set takes nothing and reports nothing.
    rules.Close();
    messages.clear();
    QTest::keyClicks(&edit, "7");
    EXPECT_EQ(edit.text(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(dbwidgetsControls, CheckBoxShowsThreeStatesAndClicksNeverReturnToEmpty)
{
    TDBCheckBox active("Active");
    active.SetDataSource(&rulesSource);
    active.SetDataField("active");
    EXPECT_EQ(active.checkState(), Qt::PartiallyChecked);
    rules.Next();
    EXPECT_EQ(active.checkState(), Qt::Checked);
    rules.Next();
    EXPECT_EQ(active.checkState(), Qt::Unchecked);

    rules.First();
    QTest::keyClick(&active, Qt::Key_Space);
    EXPECT_EQ(active.checkState(), Qt::Checked);
    EXPECT_EQ(rules.State(), DataSetState::Edit);
    QTest::keyClick(&active, Qt::Key_Space);
    EXPECT_EQ(active.checkState(), Qt::Unchecked);
    active.click();
    EXPECT_EQ(active.checkState(), Qt::Checked);
    rules.Post();
    EXPECT_EQ(Stored("SELECT Active FROM MapRules WHERE RULENAME = 'R1'"), "True");
    EXPECT_EQ(Stored("SELECT typeof(Active) FROM MapRules WHERE RULENAME = 'R1'"), "integer");

    rules.Next();
    active.click();
    rules.Post();
    EXPECT_EQ(Stored("SELECT Active FROM MapRules WHERE RULENAME = 'R2'"), "False");

    rules.Close();
    EXPECT_EQ(active.checkState(), Qt::Unchecked);
    active.click();
    EXPECT_EQ(active.checkState(), Qt::Unchecked);
    EXPECT_TRUE(messages.empty());
}

TEST_F(dbwidgetsControls, CheckBoxWritesAndRecognisesItsOwnValues)
{
    TDBCheckBox box;
    box.SetValueChecked("Yes");
    box.SetValueUnchecked("No");
    box.SetDataSource(&printersSource);
    box.SetDataField("Description");
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked) << "\"first\" is neither";
    box.click();
    EXPECT_EQ(printers.FieldByName("Description").AsString(), "Yes");
    printers.FieldByName("Description").SetAsString("no");
    EXPECT_EQ(box.checkState(), Qt::Unchecked) << "recognised without regard to case";
}

TEST_F(dbwidgetsControls, ComboShowsTheMatchingItemOrNoneAndAPickIsStored)
{
    TDBComboBox combo;
    combo.SetDataSource(&rulesSource);
    combo.SetDataField("DEFAULT");
    combo.addItems({"1", "2", "3", "4", "5"});
    EXPECT_EQ(combo.currentText(), "3") << "items added after binding";
    rules.Next();
    EXPECT_EQ(combo.currentIndex(), -1) << "9 is none of the items";
    EXPECT_EQ(combo.currentText(), "");
    rules.Next();
    EXPECT_EQ(combo.currentIndex(), -1) << "an empty field";
    EXPECT_EQ(rules.State(), DataSetState::Browse);

    rules.Prior();
    combo.show();
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    QModelIndex four = list->model()->index(3, 0);
    QRect item = list->visualRect(four).intersected(list->viewport()->rect());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(combo.currentText(), "4");
    EXPECT_EQ(rules.State(), DataSetState::Edit);
    rules.Post();
    EXPECT_EQ(Stored("SELECT \"Default\" FROM MapRules WHERE RULENAME = 'R2'"), "4");
}
