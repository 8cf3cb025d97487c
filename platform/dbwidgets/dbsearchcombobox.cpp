#include "platform/dbwidgets/dbsearchcombobox.h"

#include "platform/dbwidgets/dbedit.h"
#include "platform/dbwidgets/listview.h"

#include <QCompleter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>

namespace
{

// What the typed text is looked for in: the key and the description, one per line, so that
// no match runs from one into the other.
constexpr int kSearchRole = Qt::UserRole + 1;
// Readable widths for a key and a description.
constexpr int kKeyColumnChars = 52;
constexpr int kDescriptionColumnChars = 40;

// Completes to the entry's key, whatever the match was found in.
class KeyCompleter : public QCompleter
{
public:
    using QCompleter::QCompleter;

    QString pathFromIndex(const QModelIndex& index) const override
    {
        return index.sibling(index.row(), 0).data().toString();
    }
};

} // namespace

TDBSearchComboBox::TDBSearchComboBox(QWidget* parent)
    : QComboBox(parent), edit_(new TDBEdit(this)), entries_(new QStandardItemModel(0, 2, this))
{
    // The edit alone writes the field: the list only sets the edit's text.
    setLineEdit(edit_);
    setInsertPolicy(QComboBox::NoInsert);
    // Sizing to the contents would measure every entry.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
    setModel(entries_);
    setView(NewListView(this, font()));

    auto* completer = new KeyCompleter(entries_, this);
    completer->setCompletionRole(kSearchRole);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(12);
    completer->setPopup(NewListView(nullptr, font()));
    setCompleter(completer);
}

void TDBSearchComboBox::SizeView(QTableView* view) const
{
    const int key = fontMetrics().averageCharWidth() * kKeyColumnChars;
    const int description = fontMetrics().averageCharWidth() * kDescriptionColumnChars;
    view->setColumnWidth(0, key);
    view->setColumnWidth(1, description);
    view->setMinimumWidth(key + description + view->verticalScrollBar()->sizeHint().width() +
                          2 * view->frameWidth());
}

void TDBSearchComboBox::SetDataSource(TDataSource* source)
{
    edit_->SetDataSource(source);
}

void TDBSearchComboBox::SetDataField(const QString& name)
{
    edit_->SetDataField(name);
}

void TDBSearchComboBox::SetEntries(const std::vector<std::pair<QString, QString>>& entries)
{
    KeepText([&] {
        entries_->removeRows(0, entries_->rowCount());
        for (const auto& [key, description] : entries) {
            auto* keyItem = new QStandardItem(key);
            keyItem->setData(key + '\n' + description, kSearchRole);
            entries_->appendRow({keyItem, new QStandardItem(description)});
        }
        setCurrentIndex(-1);
    });
    SizeView(static_cast<QTableView*>(view()));
    SizeView(static_cast<QTableView*>(completer()->popup()));
}

void TDBSearchComboBox::showPopup()
{
    // The list opens on the entry that the text names, not on one picked for another row.
    KeepText([this] { setCurrentIndex(findText(edit_->text())); });
    QComboBox::showPopup();
}

// The combo box shows its current item in the edit; here the edit shows the field, so a
// change of the list or of its current item leaves the text being typed as it is.
void TDBSearchComboBox::KeepText(const std::function<void()>& change)
{
    const QString text = edit_->text();
    const int cursor = edit_->cursorPosition();
    const QSignalBlocker quiet(edit_);
    change();
    edit_->setText(text);
    edit_->setCursorPosition(cursor);
}
