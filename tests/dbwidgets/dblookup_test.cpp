// The lookup combo box: a rule's printer slot picked from a query over the printers.

#include "platform/dbwidgets/dblookupcombobox.h"
#include "tests/dbwidgets/dbwidgetsfixture.h"

#include <QAbstractItemView>
#include <QTableView>
#include <QTest>

namespace
{

class dbwidgetsLookup : public DbWidgetsTest
{
protected:
    void SetUp() override
    {
        DbWidgetsTest::SetUp();
        OpenDatabase(R"(
            INSERT INTO printers VALUES ('\\srv\b', 'second', 1);
            INSERT INTO printers VALUES ('\\srv\A', 'first', 1);
            INSERT INTO printers VALUES ('\\srv\off', 'not yet', 0);
            INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('R1', '\\SRV\a');
            INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('R2', '\\srv\gone');
            INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('R3', NULL);
            INSERT INTO MapRules (RULENAME, UNCPath1) VALUES ('R4', '\\srv\off');)");
        rules.SetTableName("MapRules");
        rules.Open();
        available.SQL() = {"SELECT UNCName, Description FROM printers", "WHERE Available = 1",
                           "ORDER BY UNCName"};
        available.Open();
        box.SetListSource(&availableSource);
        box.SetKeyField("UNCName");
        box.SetListField("UNCName;Description");
        box.SetDataSource(&rulesSource);
        box.SetDataField("uncpath1");
        box.show();
    }
    // Opens the list and clicks the row in the given column.
    void PickFromList(int row, int column)
    {
        box.showPopup();
        QAbstractItemView* list = box.view();
        QModelIndex index = list->model()->index(row, column);
        list->scrollTo(index);
        QRect cell = list->visualRect(index).intersected(list->viewport()->rect());
        ASSERT_TRUE(cell.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }

    RowSet rules{connection, "MapRulesTable"};
    TDataSource rulesSource{rules};
    RowSet available{connection, "AvailablePrintersQuery"};
    TDataSource availableSource{available};
    TDBLookupComboBox box;
};

} // namespace

TEST_F(dbwidgetsLookup, ShowsTheListedKeyOrNothingAndNeverWritesByItself)
{
    EXPECT_EQ(box.currentText(), "\\\\srv\\A") << "the stored '\\\\SRV\\a' matches, any case";
    rules.Next();
    EXPECT_EQ(box.currentIndex(), -1) << "a printer no longer listed";
    rules.Next();
    EXPECT_EQ(box.currentIndex(), -1) << "an empty slot";
    rules.Prior();
    EXPECT_EQ(rules.State(), DataSetState::Browse);
    EXPECT_EQ(rules.FieldByName("UNCPath1").AsString(), "\\\\srv\\gone");

    available.Close();
    rules.First();
    EXPECT_EQ(box.currentIndex(), -1) << "a closed list lists nothing";
    EXPECT_EQ(rules.State(), DataSetState::Browse);
    rules.Refresh();
    EXPECT_EQ(Stored("SELECT UNCPath1 FROM MapRules WHERE RULENAME = 'R1'"), "\\\\SRV\\a");
    EXPECT_EQ(Stored("SELECT UNCPath1 FROM MapRules WHERE RULENAME = 'R2'"), "\\\\srv\\gone");
}

TEST_F(dbwidgetsLookup, APickStoresTheKeyWhicheverColumnWasClicked)
{
    QAbstractItemModel* list = box.view()->model();
    EXPECT_EQ(list->index(0, 0).data().toString(), "\\\\srv\\A") << "the key column first";
    EXPECT_EQ(list->index(0, 1).data().toString(), "first");
    auto* table = qobject_cast<QTableView*>(box.view());
    ASSERT_NE(table, nullptr);
    EXPECT_GE(table->columnWidth(1), box.fontMetrics().horizontalAdvance("a description"));

    rules.Next(); // the slot names a printer no longer listed
    PickFromList(1, 1);
    EXPECT_EQ(rules.State(), DataSetState::Edit);
    EXPECT_EQ(rules.FieldByName("UNCPath1").AsString(), "\\\\srv\\b");
    EXPECT_EQ(box.currentText(), "\\\\srv\\b") << "the closed box shows the key";
    rules.Post();
    EXPECT_EQ(Stored("SELECT UNCPath1 FROM MapRules WHERE RULENAME = 'R2'"), "\\\\srv\\b");

    rules.Next(); // an empty slot
    PickFromList(0, 0);
    rules.Post();
    EXPECT_EQ(Stored("SELECT UNCPath1 FROM MapRules WHERE RULENAME = 'R3'"), "\\\\srv\\A");
    EXPECT_TRUE(messages.empty()) << MessageTexts();
}

TEST_F(dbwidgetsLookup, AReopenedListSourceOffersTheRowsNowAvailable)
{
    rules.Last();
    EXPECT_EQ(box.currentIndex(), -1) << "\\\\srv\\off is not available yet";
    ExecSql(path, "UPDATE printers SET Available = 1 WHERE UNCNAME = '\\\\srv\\off'");
    available.Close();
    available.Open();
    EXPECT_EQ(box.count(), 3);
    EXPECT_EQ(box.currentText(), "\\\\srv\\off");

    rules.First();
    PickFromList(2, 0);
    EXPECT_EQ(rules.FieldByName("UNCPath1").AsString(), "\\\\srv\\off");
}
