#include "platform/dbwidgets/dbgrid.h"

#include "platform/ui/interaction.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new RowSetModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Whole rows are selected, so moving between the cells of a row shows nothing: Tab
    // goes on to the next control.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    // Fixed row heights: nothing is measured, so only the painted rows are read.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The widths the forms give were chosen for a grid whose default column is 64 pixels.
    horizontalHeader()->setDefaultSectionSize(64);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSortIndicatorShown(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDBGrid::TitleClicked);
    connect(model_, &RowSetModel::currentRecordChanged, this, &TDBGrid::ShowCurrentRow);
    connect(model_, &RowSetModel::rowsRefreshed, this, &TDBGrid::HideMissingColumns);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TDBGrid::UserMovedTo);
}

void TDBGrid::SetColumns(std::vector<GridColumn> columns)
{
    model_->SetColumns(columns);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        int width = columns[static_cast<size_t>(i)].width;
        setColumnWidth(i, width >= 0 ? width : horizontalHeader()->defaultSectionSize());
    }
    narrowedBy_ = 0;
    // A hidden grid has no width yet; it fits when it is shown.
    if (isVisible())
        FitColumns();
}

void TDBGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    // Only a change of width: a horizontal scroll bar the user's widening brought changes
    // the height, and that widening is kept.
    if (event->size().width() != event->oldSize().width())
        FitColumns();
}

// The widths fill the grid without a vertical scroll bar. When that bar takes its share,
// the widest column gives it up, so that no horizontal scroll bar appears for a few pixels;
// it takes it back when the bar goes.
void TDBGrid::FitColumns()
{
    QHeaderView* header = horizontalHeader();
    int widest = -1;
    for (int i = 0; i < header->count(); ++i)
        if (widest < 0 || header->sectionSize(i) > header->sectionSize(widest))
            widest = i;
    if (widest < 0)
        return;
    int room = viewport()->width() - header->length();
    int bar = verticalScrollBar()->sizeHint().width();
    int change = room < 0 ? std::max(room, narrowedBy_ - bar) : std::min(room, narrowedBy_);
    if (change == 0)
        return;
    narrowedBy_ -= change;
    header->resizeSection(widest, header->sectionSize(widest) + change);
}

void TDBGrid::HideMissingColumns()
{
    for (int i = 0; i < model_->columnCount(); ++i)
        setColumnHidden(i, model_->FieldMissing(i));
}

void TDBGrid::ShowCurrentRow()
{
    RowSet* set = model_->DataSet();
    int row = set && set->Active() ? set->CurrentIndex() : -1;
    following_ = true;
    if (row < 0 || row >= model_->rowCount() || model_->columnCount() == 0) {
        selectionModel()->clear();
    } else {
        int column = std::max(currentIndex().column(), 0);
        QModelIndex index = model_->index(row, column);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        scrollTo(index);
    }
    following_ = false;
}

void TDBGrid::UserMovedTo(const QModelIndex& current)
{
    RowSet* set = model_->DataSet();
    if (following_ || !current.isValid() || !set || !set->Active())
        return;
    int row = current.row();
    if (row == set->CurrentIndex())
        return;
    Interaction::Guarded(this, [set, row] { set->MoveTo(row); });
    // Also after a refused move (a pending row that could not be stored).
    ShowCurrentRow();
}

QModelIndex TDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Home and End go to the first and last row, as the other keys move between rows.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void TDBGrid::keyPressEvent(QKeyEvent* event)
{
    Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::ControlModifier) {
        DeleteCurrentRow();
        event->accept();
        return;
    }
    // Ctrl+Tab leaves the grid as Tab does (Qt passes only plain Tab to the focus chain).
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (modifiers & Qt::ControlModifier)) {
        focusNextPrevChild(event->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    ShowCurrentRow();
}

// The view selects what was clicked even when the set refused to move there, so after
// each event the selection is put back on the set's current row.
void TDBGrid::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    ShowCurrentRow();
}

void TDBGrid::mouseMoveEvent(QMouseEvent* event)
{
    QTableView::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton)
        ShowCurrentRow();
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    ShowCurrentRow();
}

void TDBGrid::DeleteCurrentRow()
{
    RowSet* set = model_->DataSet();
    if (!set || !set->Active() || set->CurrentIndex() < 0)
        return;
    Interaction::Message question;
    QString shown = model_->index(set->CurrentIndex(), 0).data().toString();
    question.text =
        QString("Delete the %1 \"%2\"?").arg(QString::fromStdString(set->RowCaption()), shown);
    question.caption = QApplication::applicationName();
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.icon = QMessageBox::Question;
    if (Interaction::ShowMessage(this, question) == QMessageBox::Yes)
        Interaction::Guarded(this, [set] { set->Delete(); });
}

void TDBGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    // Only when the focus goes to another control, not to a menu or another window.
    if (cancelOnExit_ && event->reason() != Qt::ActiveWindowFocusReason &&
        event->reason() != Qt::PopupFocusReason)
        CancelUnchangedInsert();
}

void TDBGrid::CancelUnchangedInsert()
{
    RowSet* set = model_->DataSet();
    if (set && set->Active() && set->State() == DataSetState::Insert && !set->Modified())
        Interaction::Guarded(this, [set] { set->Cancel(); });
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit DblClick();
}

void TDBGrid::TitleClicked(int column)
{
    emit TitleClick(model_->FieldNameAt(column));
}
