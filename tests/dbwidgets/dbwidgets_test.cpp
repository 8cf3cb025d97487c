// The data-aware controls where the windows cannot show them: a pending row the user leaves,
// a value the store refuses, a message too long for one line. (A grid over 100,000 rows:
// bench/run.)

#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/dbgrid.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace
{

// The data module over a database file, its printers \\srv\a to c and None in a grid.
class DbGrid : public ::testing::Test
{
protected:
    void Open(const std::string& sql = "")
    {
        MakeDatabase(dir.Path(), sql + "INSERT INTO printers (UNCNAME) VALUES ('\\\\srv\\a'), "
                                       "('\\\\srv\\b'), ('\\\\srv\\c');");
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        db = std::make_unique<Tdbform>(util);
        db->SetConnection(false);
        grid.SetDataSource(&db->PrintersTableDataSource);
        grid.resize(600, 400);
        grid.show();
    }

    TempDir dir;
    GuiDriver gui;
    std::unique_ptr<Tdbform> db;
    TDBGrid grid;
};
using DbEdit = DbGrid;

} // namespace

// Clicking another row drops a new row left unchanged (the row clicked becomes current), and
// reports a changed row the store refuses and stays on it. Losing the focus to another
// control, not to another window or a menu, cancels an unchanged new row.
TEST_F(DbGrid, LeavingAPendingRowSettlesItUnlessTheStoreRefusesIt)
{
    Open();
    RowSet& printers = db->printerstable;
    auto clickRow = [this](int row) {
        QRect cell = grid.visualRect(grid.model()->index(row, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    };
    auto selected = [this] { return grid.selectionModel()->selectedRows().value(0).row(); };
    printers.First();
    printers.Insert();
    clickRow(3); // \\srv\c, below the new row
    EXPECT_EQ(printers.FieldByName("UNCNAME").AsString(), "\\\\srv\\c");
    EXPECT_EQ(selected(), 2);
    EXPECT_EQ(printers.RecordCount(), 4);
    clickRow(0);
    printers.Edit();
    printers.FieldByName("UNCNAME").SetAsString("\\\\SRV\\B");
    clickRow(2);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_TRUE(gui.messages[0].text.contains("\"\\\\SRV\\B\" is already in"));
    EXPECT_EQ(printers.CurrentIndex(), 0);
    EXPECT_EQ(selected(), 0);

    const std::tuple<Qt::FocusReason, bool, DataSetState> focusLost[] = {
        {Qt::TabFocusReason, false, DataSetState::Browse},
        {Qt::ActiveWindowFocusReason, false, DataSetState::Insert},
        {Qt::PopupFocusReason, false, DataSetState::Insert},
        {Qt::TabFocusReason, true, DataSetState::Insert}};
    for (auto [reason, changed, state] : focusLost) {
        printers.Cancel();
        printers.Append();
        if (changed)
            printers.FieldByName("UNCNAME").SetAsString("\\\\srv\\new");
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&grid, &out);
        EXPECT_EQ(printers.State(), state) << reason;
    }
}

// Typing edits a browsing row; a letter in a number is refused and the number shown again. A
// closed set takes nothing and reports nothing.
TEST_F(DbEdit, TypingEditsTheRowAndARefusedValueIsReportedAndShownAgain)
{
    Open("INSERT INTO MapRules (RULENAME, \"Default\") VALUES ('R1', 3);");
    TDBEdit edit;
    edit.SetDataSource(&db->MapRulesTableDataSource);
    edit.SetDataField("Default");
    QTest::keyClicks(&edit, "4x");
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_TRUE(gui.messages[0].text.contains("not a whole number"));
    EXPECT_EQ(edit.text(), "34");
    db->MapRulesTable.Close();
    QTest::keyClicks(&edit, "7");
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(gui.messages.size(), 1u);
}

TEST(MessageText, AQuotedPathIsNeverBrokenAcrossLines)
{
    QTextDocument doc;
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    doc.setDefaultFont(font);
    doc.setHtml(Interaction::MessageHtml("The change was not stored: the database "
                                         "\"/tmp/ro/a-long/folder name/wddata.mdb\" is read-only "
                                         "for this program."));
    doc.setTextWidth(300); // wide enough for the path on a line of its own
    doc.size(); // lays the text out
    const QTextBlock block = doc.firstBlock();
    const QString text = block.text();
    const int open = static_cast<int>(text.indexOf('"'));
    const int close = static_cast<int>(text.indexOf('"', open + 1));
    ASSERT_GT(block.layout()->lineCount(), 1) << "the rest of the text still wraps";
    EXPECT_EQ(block.layout()->lineForTextPosition(open).lineNumber(),
              block.layout()->lineForTextPosition(close).lineNumber());
}
