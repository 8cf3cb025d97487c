#pragma once

#include "platform/dbwidgets/rowsetmodel.h"

#include <QTableView>

// A read-only grid over a data source, behaving like the desktop framework's data grid:
// clickable titles that report the column's field, resizable columns, whole-row selection
// that follows and moves the current row, Ctrl+Delete deletes the current row after a
// question, and a pending insert the user left unchanged is cancelled when the grid loses
// the focus. Tab leaves the grid like any other control; the arrow keys, Home, End and the
// page keys move the current row. A column whose field the set lacks is not shown.
class TDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { model_->SetDataSource(source); }
    TDataSource* DataSource() const { return model_->DataSource(); }
    // No columns: every field of the set, titled with its name, default widths (64 pixels).
    void SetColumns(std::vector<GridColumn> columns);
    RowSetModel* Model() const { return model_; }
    // Whether losing the focus cancels an unchanged pending insert (default yes).
    void SetCancelOnExit(bool cancel) { cancelOnExit_ = cancel; }
    bool CancelOnExit() const { return cancelOnExit_; }

signals:
    // A column title was clicked: the column's field name as given to SetColumns.
    void TitleClick(const QString& fieldName);
    void DblClick();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ShowCurrentRow();
    void UserMovedTo(const QModelIndex& current);
    void DeleteCurrentRow();
    void CancelUnchangedInsert();
    void TitleClicked(int column);
    void FitColumns();
    void HideMissingColumns();

    RowSetModel* model_;
    int narrowedBy_ = 0; // what the widest column gave up to the vertical scroll bar
    bool following_ = false;
    bool cancelOnExit_ = true;
};
