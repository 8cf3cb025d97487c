// The grid over real row sets: columns, the current row in both directions, deleting,
// leaving a new row, and a set of 100,000 rows.

#include "platform/dbwidgets/dbgrid.h"
#include "platform/store/schema.h"
#include "tests/dbwidgets/dbwidgetsfixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>
#include <QVBoxLayout>

namespace
{

class dbwidgetsGrid : public DbWidgetsTest
{
protected:
    void SetUp() override
    {
        DbWidgetsTest::SetUp();
        OpenDatabase(R"(
            INSERT INTO printers VALUES ('\\srv\a', 'first', 1);
            INSERT INTO printers VALUES ('\\srv\b', 'second', 0);
            INSERT INTO printers VALUES ('\\srv\c', 'third', 1);
            INSERT INTO printers VALUES ('\\srv\d', 'fourth', 1);)");
        printers.SetTableName("printers");
        printers.Open();
        grid.SetDataSource(&source);
        grid.SetColumns({{"UNCNAME", "Printer UNC Path", 300},
                         {"Description", "", 490},
                         {"Available", "", -1}});
        grid.resize(900, 300);
    }
    QString Cell(int row, int column) const
    {
        return grid.model()->index(row, column).data().toString();
    }
    int SelectedRow() const
    {
        QModelIndexList rows = grid.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }
    void ClickRow(int row)
    {
        QRect cell = grid.visualRect(grid.model()->index(row, 1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    }
    std::string Current() { return printers.FieldByName("UNCNAME").AsString(); }

    RowSet printers{connection, "printerstable"};
    TDataSource source{printers};
    TDBGrid grid;
};

// Counts the cells the view paints or measures: a grid that reads every row shows here.
class CountingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        Count(index);
        QStyledItemDelegate::paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        Count(index);
        return QStyledItemDelegate::sizeHint(option, index);
    }
    void Count(const QModelIndex& index) const
    {
        ++cells;
        lastRow = std::max(lastRow, index.row());
    }

    mutable int cells = 0;
    mutable int lastRow = -1;
};

} // namespace

TEST_F(dbwidgetsGrid, ColumnsHaveTitlesWidthsAndYesNoTexts)
{
    QHeaderView* titles = grid.horizontalHeader();
    ASSERT_EQ(grid.model()->columnCount(), 3);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Printer UNC Path");
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "Description");
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), "Available");
    EXPECT_EQ(grid.columnWidth(0), 300);
    EXPECT_EQ(grid.columnWidth(1), 490);
    EXPECT_EQ(grid.columnWidth(2), 64) << "the default the forms' widths were chosen for";
    EXPECT_EQ(Cell(0, 0), "\\\\srv\\a");
    EXPECT_EQ(Cell(0, 2), "True");
    EXPECT_EQ(Cell(1, 2), "False");
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);

    // Widths the user chose survive the set being read again.
    titles->resizeSection(1, 200);
    printers.Refresh();
    printers.Close();
    printers.Open();
    EXPECT_EQ(grid.columnWidth(0), 300);
    EXPECT_EQ(grid.columnWidth(1), 200);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Printer UNC Path");
}

TEST_F(dbwidgetsGrid, ATitleClickReportsTheFieldAndDoesNotSort)
{
    grid.show();
    QSignalSpy clicks(&grid, &TDBGrid::TitleClick);
    QHeaderView* titles = grid.horizontalHeader();
    for (int column : {0, 2}) {
        QPoint centre(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2,
                      titles->height() / 2);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, centre);
    }
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0][0].toString(), "UNCNAME");
    EXPECT_EQ(clicks[1][0].toString(), "Available");
    EXPECT_EQ(Cell(0, 1), "first");
    EXPECT_EQ(Cell(3, 1), "fourth");

    // The program sorts; the grid shows the same current row at its new place.
    printers.MoveTo(1);
    printers.SetSort("UNCNAME DESC");
    EXPECT_EQ(Cell(0, 1), "fourth");
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(Cell(SelectedRow(), 1), "second");
}

TEST_F(dbwidgetsGrid, TheSelectionFollowsTheSetAndMovesIt)
{
    grid.show();
    EXPECT_EQ(SelectedRow(), 0);
    printers.Next();
    EXPECT_EQ(SelectedRow(), 1);

    ClickRow(2);
    EXPECT_EQ(printers.CurrentIndex(), 2);
    EXPECT_EQ(Current(), "\\\\srv\\c");
    QTest::keyClick(grid.viewport(), Qt::Key_Up);
    EXPECT_EQ(Current(), "\\\\srv\\b");

    // A value changed from elsewhere shows in the current row.
    printers.Edit();
    printers.FieldByName("Description").SetAsString("changed");
    EXPECT_EQ(Cell(1, 1), "changed");
    // Moving posts it.
    ClickRow(3);
    EXPECT_EQ(Current(), "\\\\srv\\d");
    EXPECT_EQ(Stored("SELECT Description FROM printers WHERE UNCNAME = '\\\\srv\\b'"), "changed");

    // A new row left unchanged goes when another row is clicked: the one clicked is current.
    printers.First();
    printers.Insert();
    ASSERT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(SelectedRow(), 0);
    ClickRow(3); // shows \\srv\c
    EXPECT_EQ(printers.RecordCount(), 4);
    EXPECT_EQ(Current(), "\\\\srv\\c");
    EXPECT_EQ(Cell(SelectedRow(), 0), "\\\\srv\\c");
    EXPECT_TRUE(messages.empty()) << MessageTexts();
}

TEST_F(dbwidgetsGrid, AMoveTheStoreRefusesIsReportedAndTheSelectionStays)
{
    grid.show();
    printers.Edit();
    printers.FieldByName("UNCNAME").SetAsString("\\\\SRV\\B"); // already present
    ClickRow(2);
    EXPECT_NE(MessageTexts().find("\"\\\\SRV\\B\" is already in"), std::string::npos)
        << MessageTexts();
    EXPECT_EQ(printers.CurrentIndex(), 0);
    EXPECT_EQ(SelectedRow(), 0);
}

TEST_F(dbwidgetsGrid, CtrlDeleteDeletesTheCurrentRowOnlyOnYes)
{
    grid.show();
    printers.MoveTo(1);
    answer = QMessageBox::No;
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, QApplication::applicationName());
    EXPECT_EQ(messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(messages[0].text, "Delete the row \"\\\\srv\\b\"?");
    EXPECT_EQ(Stored("SELECT count(*) FROM printers"), "4");

    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(messages.size(), 1u) << "Delete alone asks nothing";

    answer = QMessageBox::Yes;
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Stored("SELECT count(*) FROM printers"), "3");
    EXPECT_EQ(Stored("SELECT count(*) FROM printers WHERE UNCNAME = '\\\\srv\\b'"), "0");
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(Cell(SelectedRow(), 0), "\\\\srv\\c") << "the next row becomes current";
}

TEST_F(dbwidgetsGrid, KeysMoveTheCurrentRowAndTabLeavesTheGrid)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* after = new QLineEdit(&window);
    layout->addWidget(before);
    layout->addWidget(&grid);
    layout->addWidget(after);
    QWidget::setTabOrder(before, &grid);
    QWidget::setTabOrder(&grid, after);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid.setFocus(Qt::TabFocusReason);
    const std::pair<Qt::Key, int> moves[] = {{Qt::Key_End, 3},      {Qt::Key_Up, 2},
                                             {Qt::Key_Home, 0},     {Qt::Key_Down, 1},
                                             {Qt::Key_PageDown, 3}, {Qt::Key_PageUp, 0}};
    for (auto [key, row] : moves) {
        QTest::keyClick(&grid, key);
        EXPECT_EQ(printers.CurrentIndex(), row) << QKeySequence(key).toString().toStdString();
    }
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QWidget*> leaves[] = {
        {Qt::Key_Tab, Qt::NoModifier, after},
        {Qt::Key_Backtab, Qt::ShiftModifier, before},
        {Qt::Key_Tab, Qt::ControlModifier, after},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, before}};
    for (auto [key, modifiers, next] : leaves) {
        grid.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&grid, key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_EQ(printers.CurrentIndex(), 0);
    grid.setParent(nullptr);
}

TEST_F(dbwidgetsGrid, LosingTheFocusCancelsAnUnchangedInsertOnly)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    grid.setParent(&window);
    layout->addWidget(&grid);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    grid.setFocus(Qt::MouseFocusReason);
    printers.Append();
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(printers.State(), DataSetState::Browse);
    EXPECT_EQ(grid.model()->rowCount(), 4);

    grid.setFocus(Qt::MouseFocusReason);
    printers.Append();
    QFocusEvent toAnotherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&grid, &toAnotherWindow);
    EXPECT_EQ(printers.State(), DataSetState::Insert) << "still this control's, in its window";

    printers.FieldByName("UNCNAME").SetAsString("\\\\srv\\new");
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(printers.State(), DataSetState::Insert);
    EXPECT_TRUE(printers.Modified());
    grid.setParent(nullptr);
}

TEST_F(dbwidgetsGrid, ADoubleClickIsReportedAndEditsNothing)
{
    grid.show();
    QSignalSpy doubleClicks(&grid, &TDBGrid::DblClick);
    QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(doubleClicks.size(), 1);
    EXPECT_EQ(Current(), "\\\\srv\\c") << "the clicked row is current when it is reported";
    EXPECT_TRUE(grid.viewport()->findChildren<QLineEdit*>().isEmpty()) << "no editor opened";
    EXPECT_EQ(printers.State(), DataSetState::Browse);
}

TEST(dbwidgetsGridLarge, AHundredThousandRowsShowReadingOnlyThePaintedOnes)
{
    TempDir dir;
    std::string path = MakeDatabase(dir.Path(), R"(
        WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
        INSERT INTO MapRules (RULENAME, UNCPath1) SELECT 'PC' || i, 'p' || i FROM n;)");
    Connection connection;
    connection.SetConnectionString("Data Source=" + path +
                                   ";Jet OLEDB:Database Password=" + kDatabasePassword);
    connection.Open();
    RowSet rules(connection, "MapRulesTable");
    rules.SetTableName("MapRules");
    TDataSource source(rules);
    TDBGrid grid;
    auto* counting = new CountingDelegate(&grid);
    grid.setItemDelegate(counting);
    grid.SetDataSource(&source);
    grid.SetColumns({{"RULENAME", "Rule", 150}, {"UNCPath1", "", 150}, {"Active", "", -1}});
    grid.resize(600, 400);
    grid.show();
    rules.Open();
    ASSERT_EQ(grid.model()->rowCount(), 100000);
    grid.grab();
    EXPECT_GT(counting->cells, 0);
    EXPECT_LT(counting->lastRow, 100);

    rules.Last();
    grid.grab();
    EXPECT_EQ(counting->lastRow, 99999);
    EXPECT_EQ(grid.model()->index(99999, 0).data().toString(), "PC100000");
    EXPECT_LT(counting->cells, 1000) << "cells painted or measured";
}
