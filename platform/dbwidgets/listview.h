#pragma once

class QFont;
class QTableView;
class QWidget;

// The open list of a combo box whose entries have columns: whole rows are picked, one line a
// row in the font given, no grid and no headers.
QTableView* NewListView(QWidget* parent, const QFont& font);
