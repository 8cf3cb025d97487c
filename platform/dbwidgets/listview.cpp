#include "platform/dbwidgets/listview.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

namespace
{

// Rows as high as they are drawn, for those that size the list by its rows (a completer).
class ListView : public QTableView
{
public:
    using QTableView::QTableView;

    int sizeHintForRow(int) const override { return verticalHeader()->defaultSectionSize(); }
};

} // namespace

QTableView* NewListView(QWidget* parent, const QFont& font)
{
    auto* view = new ListView(parent);
    view->setFont(font);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    // A combo box's menu-style delegate draws one item per row; the list has columns.
    view->setItemDelegate(new QStyledItemDelegate(view));
    return view;
}
