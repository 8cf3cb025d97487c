// Row sets over a real database file: where faults in a snapshot-with-pending-row
// design hide (settling pending rows, uniqueness, sorting, two programs at once).

#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "platform/store/schema.h"
#include "platform/store/storeerror.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace
{

class RowSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = MakeDatabase(dir.Path(), R"(
            INSERT INTO printers VALUES ('\\srv\b', 'second', 1);
            INSERT INTO printers VALUES ('\\srv\A', 'first', 0);
            INSERT INTO printers (UNCNAME) VALUES ('\\srv\c');
            INSERT INTO MapRules VALUES ('LAB*', 'x', NULL, '', NULL, NULL, NULL);)");
        Open(connection);
    }
    void Open(Connection& c)
    {
        c.SetConnectionString("Data Source=" + path +
                              ";Jet OLEDB:Database Password=" + kDatabasePassword);
        c.Open();
    }
    std::vector<std::string> Column(RowSet& rs, const std::string& field)
    {
        std::vector<std::string> out;
        int i = rs.FindField(field);
        for (int r = 0; r < rs.RecordCount(); ++r)
            out.push_back(ValueText(rs.ValueAt(r, i), rs.ColumnAt(i).type));
        return out;
    }
    int CountRows(const std::string& table)
    {
        Connection c;
        Open(c);
        RowSet rs(c, table);
        rs.SetTableName(table);
        rs.Open();
        return rs.RecordCount();
    }

    TempDir dir;
    std::string path;
    Connection connection;
    RowSet printers{connection, "printerstable"};
    RowSet rules{connection, "MapRulesTable"};
};

} // namespace

TEST_F(RowSetTest, FieldsByNameIgnoringCaseWithTypedReads)
{
    rules.SetTableName("maprules");
    rules.Open();
    EXPECT_EQ(rules.FieldByName("rulename").AsString(), "LAB*");
    EXPECT_EQ(rules.FieldByName("uncpath2").AsString(), "");
    EXPECT_EQ(rules.FieldByName("DEFAULT").AsInteger(), 0);
    EXPECT_FALSE(rules.FieldByName("ACTIVE").AsBoolean());
    EXPECT_EQ(rules.FieldByName("Active").AsString(), "");
    EXPECT_THROW(rules.FieldByName("UNCPath5"), StoreError);

    printers.SetTableName("Printers");
    printers.Open();
    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\SRV\\a"));
    EXPECT_EQ(printers.FieldByName("UNCName").AsString(), "\\\\srv\\A");
    EXPECT_EQ(printers.FieldByName("available").AsString(), "False");
    EXPECT_FALSE(printers.Locate("UNCNAME", "\\\\srv"));
    EXPECT_EQ(printers.FieldByName("UNCNAME").AsString(), "\\\\srv\\A") << "a miss stays put";
}

TEST_F(RowSetTest, RefreshSettlesAPendingRow)
{
    printers.SetTableName("printers");
    printers.Open();
    printers.Append();
    printers.Refresh();
    EXPECT_EQ(CountRows("printers"), 3) << "an unchanged insert is dropped";
    EXPECT_EQ(printers.RecordCount(), 3);

    printers.Append();
    printers.FieldByName("UNCNAME").SetAsString("\\\\srv\\new");
    printers.Refresh();
    EXPECT_EQ(CountRows("printers"), 4) << "a changed insert is posted";
    EXPECT_EQ(printers.State(), DataSetState::Browse);

    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\srv\\new"));
    EXPECT_TRUE(printers.FieldByName("Available").AsBoolean()) << "column default in new rows";
    printers.Edit();
    printers.FieldByName("Description").SetAsString("edited");
    printers.Cancel();
    EXPECT_EQ(printers.FieldByName("Description").AsString(), "");
}

TEST_F(RowSetTest, DuplicatePathInAnyCaseIsRefusedAndTheRowStaysPending)
{
    printers.SetTableName("printers");
    printers.Open();
    printers.Append();
    printers.FieldByName("UNCNAME").SetAsString("\\\\SRV\\B");
    try {
        printers.Post();
        FAIL() << "posted a duplicate";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("\\\\SRV\\B\" is already in"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(printers.State(), DataSetState::Insert);
    printers.FieldByName("UNCNAME").SetAsString("\\\\SRV\\D");
    printers.Post();
    EXPECT_EQ(CountRows("printers"), 4);
}

TEST_F(RowSetTest, SortSurvivesRefreshAndKeepsTheCurrentRow)
{
    printers.SetTableName("printers");
    printers.Open();
    printers.SetSort("UNCNAME DESC");
    EXPECT_EQ(Column(printers, "UNCNAME"),
              (std::vector<std::string>{"\\\\srv\\c", "\\\\srv\\b", "\\\\srv\\A"}));
    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\srv\\b"));
    ExecSql(path, "INSERT INTO printers (UNCNAME) VALUES ('\\\\srv\\a2');");
    printers.Refresh();
    EXPECT_EQ(Column(printers, "UNCNAME"),
              (std::vector<std::string>{"\\\\srv\\c", "\\\\srv\\b", "\\\\srv\\a2", "\\\\srv\\A"}));
    EXPECT_EQ(printers.FieldByName("UNCNAME").AsString(), "\\\\srv\\b");

    printers.SetSort("Available ASC, UNCNAME ASC");
    EXPECT_EQ(Column(printers, "UNCNAME").front(), "\\\\srv\\A");
    EXPECT_THROW(printers.SetSort("Nope ASC"), StoreError);
    EXPECT_THROW(printers.SetSort("UNCNAME SIDEWAYS"), StoreError);
    printers.SetSort("");
    EXPECT_EQ(Column(printers, "Description").front(), "second") << "read order restored";
}

TEST_F(RowSetTest, TwoProgramsShareTheFile)
{
    Connection other;
    Open(other);
    RowSet mine(connection, "mine"), theirs(other, "theirs");
    mine.SetTableName("MapRules");
    theirs.SetTableName("MapRules");
    mine.Open();
    theirs.Open();
    EXPECT_EQ(mine.FieldByName("UNCPath1").AsString(), "x") << "the snapshot is taken here";

    theirs.Edit();
    theirs.FieldByName("UNCPath1").SetAsString("changed");
    theirs.Post();
    EXPECT_EQ(mine.FieldByName("UNCPath1").AsString(), "x") << "a snapshot until refreshed";
    mine.Refresh();
    EXPECT_EQ(mine.FieldByName("UNCPath1").AsString(), "changed");

    theirs.Delete();
    mine.Edit();
    mine.FieldByName("UNCPath1").SetAsString("lost?");
    EXPECT_THROW(mine.Post(), StoreError) << "an edit of a deleted row must not vanish silently";
    EXPECT_EQ(mine.State(), DataSetState::Edit);
}

TEST_F(RowSetTest, QueriesBindParametersAndAreReadOnly)
{
    RowSet q(connection, "RuleQuery");
    q.SQL() = {"Select *", "from MapRules", "where RULENAME = :name", "order by RULENAME;"};
    q.SetParameter("name", Value::Text("lab*"));
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_THROW(q.Edit(), StoreError);
    EXPECT_THROW(q.Append(), StoreError);
    q.Close();
    q.SetParameter("name", Value::Text("' or 1=1 --"));
    q.Open();
    EXPECT_EQ(q.RecordCount(), 0);
}

TEST_F(RowSetTest, DeleteAndValueConversions)
{
    rules.SetTableName("MapRules");
    rules.Open();
    rules.Edit();
    rules.FieldByName("Default").SetAsString("2");
    rules.FieldByName("Active").SetAsString("True");
    EXPECT_THROW(rules.FieldByName("Default").SetAsString("two"), StoreError);
    EXPECT_THROW(rules.FieldByName("Active").SetAsString("maybe"), StoreError);
    rules.Post();
    rules.Refresh();
    EXPECT_EQ(rules.FieldByName("Default").AsInteger(), 2);
    EXPECT_TRUE(rules.FieldByName("Active").AsBoolean());
    rules.Delete();
    EXPECT_EQ(rules.RecordCount(), 0);
    EXPECT_EQ(CountRows("MapRules"), 0);
    EXPECT_THROW(rules.Delete(), StoreError);
}
