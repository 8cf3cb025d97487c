// Row sets over a real database, a file and a PostgreSQL server alike: where faults in a
// snapshot-with-pending-row design hide (settling pending rows, uniqueness, sorting, two
// programs at once, files that turn read-only). Bad files are tested through both
// programs, in tests/reliability; bad servers in server_test.

#include "platform/store/connection.h"
#include "platform/store/rowset.h"
#include "platform/store/storeerror.h"
#include "tests/support/asuser.h"
#include "tests/support/tempdir.h"
#include "tests/support/testdatabase.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using Strings = std::vector<std::string>;

// Appends a rule and posts it; the error text, "" when it was stored.
std::string PostRule(RowSet& rules, const std::string& name)
{
    rules.Append();
    rules.FieldByName("RULENAME").SetAsString(name);
    try {
        rules.Post();
    } catch (const StoreError& e) {
        return e.what();
    }
    return "";
}

class RowSetTest : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDatabase>(GetParam(), dir, R"(
            INSERT INTO printers (UNCNAME, Description, Available)
                VALUES ('\\srv\b', 'second', TRUE);
            INSERT INTO printers (UNCNAME, Description, Available) VALUES ('\\srv\A', 'no', FALSE);
            INSERT INTO printers (UNCNAME) VALUES ('\\srv\c');
            INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, "Default", Active)
                VALUES ('LAB*', 'x', NULL, '', NULL, NULL, NULL);)");
        connection.Open({db->Location(), Access::ReadWrite});
        printers.SetTableName("Printers");
        rules.SetTableName("maprules");
        printers.Open();
        rules.Open();
    }
    Strings Column(RowSet& rs, const std::string& field)
    {
        Strings out;
        const int i = rs.FindField(field);
        for (int r = 0; r < rs.RecordCount(); ++r)
            out.push_back(ValueText(rs.ValueAt(r, i), rs.ColumnAt(i).type));
        return out;
    }
    std::string Count(const std::string& table)
    {
        return db->Query("SELECT COUNT(*) FROM " + table);
    }

    TempDir dir;
    std::unique_ptr<TestDatabase> db;
    Connection connection;
    RowSet printers{connection, "printerstable"};
    RowSet rules{connection, "MapRulesTable"};
};

} // namespace

TEST_P(RowSetTest, FieldsByNameIgnoringCaseWithTypedReads)
{
    EXPECT_TRUE(rules.Bof() && !rules.Eof()) << "on the first row of a fresh read";
    EXPECT_EQ(rules.FieldByName("rulename").AsString(), "LAB*");
    EXPECT_EQ(rules.FieldByName("uncpath2").AsString(), "");
    EXPECT_EQ(rules.FieldByName("DEFAULT").AsInteger(), 0);
    EXPECT_FALSE(rules.FieldByName("ACTIVE").AsBoolean());
    EXPECT_EQ(rules.FieldByName("Active").AsString(), "");
    EXPECT_THROW(rules.FieldByName("UNCPath5"), StoreError);

    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\SRV\\a"));
    EXPECT_EQ(printers.FieldByName("UNCName").AsString(), "\\\\srv\\A");
    EXPECT_EQ(printers.FieldByName("available").AsString(), "False");
    EXPECT_FALSE(printers.FieldByName("Description").AsBoolean()) << "a text read as yes/no";
    EXPECT_FALSE(printers.Locate("UNCNAME", "\\\\srv"));
    EXPECT_EQ(printers.FieldByName("UNCNAME").AsString(), "\\\\srv\\A") << "a miss stays put";
}

TEST_P(RowSetTest, RefreshSettlesAPendingRowAndCancelDropsAnEdit)
{
    printers.Append();
    printers.Refresh();
    EXPECT_EQ(Count("printers"), "3") << "an unchanged insert is dropped";
    EXPECT_EQ(printers.RecordCount(), 3);

    printers.Append();
    printers.FieldByName("UNCNAME").SetAsString("\\\\srv\\new");
    printers.Refresh();
    EXPECT_EQ(Count("printers"), "4") << "a changed insert is posted";
    EXPECT_EQ(printers.State(), DataSetState::Browse);

    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\srv\\new"));
    EXPECT_TRUE(printers.FieldByName("Available").AsBoolean()) << "column default in new rows";
    printers.Edit();
    printers.FieldByName("Description").SetAsString("edited");
    printers.Cancel();
    EXPECT_EQ(printers.FieldByName("Description").AsString(), "");
}

TEST_P(RowSetTest, ADuplicatePathInAnyCaseIsRefusedAndTheRowStaysPending)
{
    printers.Append();
    printers.FieldByName("UNCNAME").SetAsString("\\\\SRV\\B");
    EXPECT_THROW(printers.Post(), StoreError);
    EXPECT_EQ(printers.State(), DataSetState::Insert);
    printers.FieldByName("UNCNAME").SetAsString("\\\\SRV\\D");
    printers.Post();
    EXPECT_EQ(Count("printers"), "4");
}

TEST_P(RowSetTest, SortSurvivesRefreshAndKeepsTheCurrentRow)
{
    printers.SetSort("UNCNAME DESC");
    EXPECT_EQ(Column(printers, "UNCNAME"), (Strings{"\\\\srv\\c", "\\\\srv\\b", "\\\\srv\\A"}));
    ASSERT_TRUE(printers.Locate("UNCNAME", "\\\\srv\\b"));
    db->Exec("INSERT INTO printers (UNCNAME) VALUES ('\\\\srv\\a2');");
    printers.Refresh();
    EXPECT_EQ(Column(printers, "UNCNAME"),
              (Strings{"\\\\srv\\c", "\\\\srv\\b", "\\\\srv\\a2", "\\\\srv\\A"}));
    EXPECT_EQ(printers.FieldByName("UNCNAME").AsString(), "\\\\srv\\b");

    printers.SetSort("Available ASC, UNCNAME ASC");
    EXPECT_EQ(Column(printers, "UNCNAME").front(), "\\\\srv\\A");
    // Letters fold to lower case, as SQLite's NOCASE does: '_' sorts before 'A'.
    db->Exec("INSERT INTO printers (UNCNAME) VALUES ('\\\\srv\\_');");
    printers.Refresh();
    printers.SetSort("UNCNAME ASC");
    EXPECT_EQ(Column(printers, "UNCNAME")[0], "\\\\srv\\_");
    // Equal texts leave the order to the next key.
    db->Exec("UPDATE printers SET Description = 'second' WHERE UNCNAME = '\\\\srv\\c';");
    printers.Refresh();
    printers.SetSort("Description DESC, UNCNAME ASC");
    EXPECT_EQ(Column(printers, "UNCNAME")[0], "\\\\srv\\b");
    printers.SetSort("Description DESC, UNCNAME DESC");
    EXPECT_EQ(Column(printers, "UNCNAME")[0], "\\\\srv\\c");
    EXPECT_THROW(printers.SetSort("Nope ASC"), StoreError);
    EXPECT_THROW(printers.SetSort("UNCNAME SIDEWAYS"), StoreError);
    printers.SetSort("");
    EXPECT_EQ(Column(printers, "Description").front(), "second") << "read order restored";
}

TEST_P(RowSetTest, TwoProgramsShareTheFile)
{
    Connection other;
    other.Open({db->Location(), Access::ReadWrite});
    RowSet theirs(other, "theirs");
    theirs.SetTableName("MapRules");
    theirs.Open();
    EXPECT_EQ(rules.FieldByName("UNCPath1").AsString(), "x") << "the snapshot is taken here";

    theirs.Edit();
    theirs.FieldByName("UNCPath1").SetAsString("changed");
    theirs.Post();
    EXPECT_EQ(rules.FieldByName("UNCPath1").AsString(), "x") << "a snapshot until refreshed";
    rules.Refresh();
    EXPECT_EQ(rules.FieldByName("UNCPath1").AsString(), "changed");

    theirs.Delete();
    rules.Edit();
    rules.FieldByName("UNCPath1").SetAsString("lost?");
    EXPECT_THROW(rules.Post(), StoreError) << "an edit of a deleted row must not vanish silently";
    EXPECT_EQ(rules.State(), DataSetState::Edit);
}

TEST_P(RowSetTest, QueriesBindParametersAndAreReadOnly)
{
    RowSet q(connection, "RuleQuery");
    q.SQL() = {"Select *", "from MapRules", "where RULENAME = :name", "order by RULENAME;"};
    q.SetParameter("name", Value::Text("lab*"));
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_THROW(q.Edit(), StoreError);
    EXPECT_THROW(q.Append(), StoreError);
}

TEST_P(RowSetTest, DeleteAndValueConversions)
{
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
    EXPECT_EQ(Count("MapRules"), "0");
    EXPECT_THROW(rules.Delete(), StoreError);
}

TEST_P(RowSetTest, AReadOnlyConnectionNeverWritesYetTellsWhetherARunCould)
{
    Connection look;
    look.Open({db->Location(), Access::ReadOnly});
    EXPECT_TRUE(look.ReadOnly() && !look.Writable() && look.MayWrite());
    RowSet theirs(look, "theirs");
    theirs.SetTableName("MapRules");
    theirs.Open();
    EXPECT_NE(PostRule(theirs, "PC9").find("read-only"), std::string::npos);
    EXPECT_THROW(look.Driver().Exec("DELETE FROM MapRules"), StoreError) << "the database refuses";
    EXPECT_EQ(Count("MapRules"), "1");
}

// Yes/no in a text reads as it is written: one rule for the grid's typing and the reading.
TEST(ValueConversions, YesNoTextReadsAsItIsWritten)
{
    const std::vector<std::pair<std::optional<bool>, Strings>> cases = {
        {true, {"True", "yes", "Y", "t", "-2"}},
        {false, {"FALSE", "No", "n", "0"}},
        {std::nullopt, {"maybe", "Tomato", " yes"}}};
    for (const auto& [expected, texts] : cases)
        for (const std::string& text : texts) {
            EXPECT_EQ(ValueAsBoolean(Value::Text(text)), expected) << text;
            const std::optional<Value> stored = StoredText(text, FieldType::Boolean);
            EXPECT_EQ(stored ? ValueAsBoolean(*stored) : std::nullopt, expected) << text;
        }
}

INSTANTIATE_TEST_SUITE_P(Backends, RowSetTest, ::testing::Values(Backend::File, Backend::Server),
                         [](const auto& info) { return BackendName(info.param); });

TEST(ReadOnlyFiles, TheClientReadsWhereItMayNotWriteAndTheAdministratorIsToldWhy)
{
    TempDir dir;
    const std::string path = MakeDatabase(dir.Path());
    Connection c;
    c.Open({path, Access::WriteWhereAllowed});
    EXPECT_FALSE(c.ReadOnly()) << "the client writes where the file allows it";

    chmod(dir.Path().c_str(), 0755);
    chmod(path.c_str(), 0444);
    std::string why;
    EXPECT_TRUE(RunUnprivileged(
        [&] {
            Connection client;
            client.Open({path, Access::WriteWhereAllowed});
            RowSet rules(client, "MapRulesTable");
            rules.SetTableName("MapRules");
            rules.Open();
            Connection admin;
            try {
                admin.Open({path, Access::ReadWrite});
                return false;
            } catch (const StoreError& e) {
                return client.ReadOnly() && !client.MayWrite() &&
                       PostRule(rules, "PC1").find("read-only") != std::string::npos &&
                       std::string(e.what()).find("for writing") != std::string::npos;
            }
        },
        &why))
        << why;
}

TEST(ReadOnlyFiles, AFileMadeReadOnlyAfterOpeningRefusesTheNextWriteAndKeepsWhatWasStored)
{
    TempDir dir;
    const std::string path = MakeDatabase(dir.Path());
    chmod(dir.Path().c_str(), 0777);
    // The administrator's own file, which the administrator then makes read-only.
    if (const passwd* nobody = getpwnam("nobody"); nobody && geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    std::string why;
    EXPECT_TRUE(RunUnprivileged(
        [&] {
            Connection admin;
            admin.Open({path, Access::ReadWrite});
            RowSet rules(admin, "MapRulesTable");
            rules.SetTableName("MapRules");
            rules.Open();
            const bool kept = PostRule(rules, "KEPT").empty();
            chmod(path.c_str(), 0444);
            return kept && PostRule(rules, "REFUSED").find("read-only") != std::string::npos &&
                   rules.State() == DataSetState::Insert;
        },
        &why))
        << why;
    EXPECT_EQ(QueryValue(path, "select group_concat(RULENAME) from MapRules"), "KEPT");
}
