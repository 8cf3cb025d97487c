#include "platform/dbwidgets/dblookupcombobox.h"

#include "platform/dbwidgets/listview.h"
#include "platform/dbwidgets/rowsetmodel.h"
#include "platform/host/textutil.h"
#include "platform/store/storeerror.h"
#include "platform/ui/interaction.h"

#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace
{

// Readable widths for a network path and for a description.
constexpr int kKeyColumnChars = 32;
constexpr int kOtherColumnChars = 28;

} // namespace

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent)
    : QComboBox(parent), list_(new RowSetModel(this)), view_(NewListView(this, font()))
{
    setEditable(false);
    // Sizing to the contents would read every listed row.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
    setModel(list_);
    setView(view_);
    connect(&link_, &TFieldDataLink::recordChanged, this, &TDBLookupComboBox::ShowField);
    connect(list_, &RowSetModel::rowsRefreshed, this, &TDBLookupComboBox::ShowField);
    connect(this, &QComboBox::activated, this, &TDBLookupComboBox::Pick);
}

void TDBLookupComboBox::SetListSource(TDataSource* source)
{
    list_->SetDataSource(source);
}

TDataSource* TDBLookupComboBox::ListSource() const
{
    return list_->DataSource();
}

void TDBLookupComboBox::SetKeyField(const QString& name)
{
    keyField_ = name;
    BuildColumns();
}

void TDBLookupComboBox::SetListField(const QString& names)
{
    listField_ = names;
    BuildColumns();
}

void TDBLookupComboBox::BuildColumns()
{
    std::vector<GridColumn> columns;
    int keyColumn = -1;
    for (const QString& part : listField_.split(';', Qt::SkipEmptyParts)) {
        QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        if (keyColumn < 0 && name.compare(keyField_, Qt::CaseInsensitive) == 0)
            keyColumn = static_cast<int>(columns.size());
        int chars = columns.empty() ? kKeyColumnChars : kOtherColumnChars;
        columns.push_back({name, QString(), fontMetrics().averageCharWidth() * chars});
    }
    // The closed box shows the key, so the key is a column even when not listed.
    bool keyHidden = keyColumn < 0 && !keyField_.isEmpty();
    if (keyHidden) {
        keyColumn = static_cast<int>(columns.size());
        columns.push_back({keyField_, QString(), -1});
    }
    list_->SetColumns(columns);
    setModelColumn(std::max(keyColumn, 0));
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        view_->setColumnHidden(i, keyHidden && i == keyColumn);
    SizeColumns();
    ShowField();
}

void TDBLookupComboBox::SizeColumns()
{
    int total = 0;
    const std::vector<GridColumn>& columns = list_->ShownColumns();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (view_->isColumnHidden(i) || columns[static_cast<size_t>(i)].width < 0)
            continue;
        view_->setColumnWidth(i, columns[static_cast<size_t>(i)].width);
        total += columns[static_cast<size_t>(i)].width;
    }
    view_->setMinimumWidth(total + view_->verticalScrollBar()->sizeHint().width() +
                           2 * view_->frameWidth());
}

void TDBLookupComboBox::showPopup()
{
    SizeColumns();
    QComboBox::showPopup();
}

int TDBLookupComboBox::FindKey(const Value& value) const
{
    RowSet* list = list_->DataSet();
    if (value.IsNull() || !list || !list->Active())
        return -1;
    int key = list->FindField(keyField_.toStdString());
    if (key < 0)
        return -1;
    FieldType type = list->ColumnAt(key).type;
    std::string wanted = ValueText(value, type);
    if (wanted.empty())
        return -1;
    int rows = std::min(list_->rowCount(), list->RecordCount());
    for (int row = 0; row < rows; ++row)
        if (EqualsIgnoreCase(ValueText(list->ValueAt(row, key), type), wanted))
            return row;
    return -1;
}

void TDBLookupComboBox::ShowField()
{
    setCurrentIndex(link_.HasField() ? FindKey(link_.FieldValue()) : -1);
}

void TDBLookupComboBox::Pick(int row)
{
    RowSet* list = list_->DataSet();
    if (link_.Active() && list && list->Active() && row >= 0 && row < list->RecordCount()) {
        try {
            int key = list->FindField(keyField_.toStdString());
            if (key < 0)
                throw StoreError(list->Name() + ": it has no key field named " +
                                 keyField_.toStdString() + ".");
            link_.WriteText(QString::fromStdString(
                ValueText(list->ValueAt(row, key), list->ColumnAt(key).type)));
        } catch (const std::exception& e) {
            Interaction::ReportError(this, e);
        }
    }
    ShowField();
}
