#include "platform/dbwidgets/rowsetmodel.h"

RowSetModel::RowSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RowSetModel::SetDataSource(TDataSource* source)
{
    if (source_ == source)
        return;
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    Connect();
    RowsChanged();
}

void RowSetModel::Connect()
{
    if (!source_)
        return;
    connect(source_, &TDataSource::dataChanged, this, &RowSetModel::RowsChanged);
    connect(source_, &TDataSource::fieldChanged, this, &RowSetModel::CurrentRowValuesChanged);
    connect(source_, &TDataSource::scrolled, this, &RowSetModel::currentRecordChanged);
    connect(source_, &QObject::destroyed, this, &RowSetModel::RowsChanged);
}

RowSet* RowSetModel::DataSet() const
{
    return source_ ? &source_->DataSet() : nullptr;
}

void RowSetModel::SetColumns(std::vector<GridColumn> columns)
{
    columns_ = std::move(columns);
    beginResetModel();
    Resolve(shown_, fields_);
    endResetModel();
    emit rowsRefreshed();
    emit currentRecordChanged();
}

QString RowSetModel::FieldNameAt(int column) const
{
    if (column < 0 || column >= static_cast<int>(shown_.size()))
        return QString();
    if (column < static_cast<int>(columns_.size()))
        return columns_[static_cast<size_t>(column)].fieldName;
    return shown_[static_cast<size_t>(column)].fieldName;
}

bool RowSetModel::FieldMissing(int column) const
{
    RowSet* set = DataSet();
    return set && set->Active() && column >= 0 && column < columnCount() &&
           fields_[static_cast<size_t>(column)] < 0;
}

void RowSetModel::Resolve(std::vector<GridColumn>& shown, std::vector<int>& fields) const
{
    shown.clear();
    fields.clear();
    RowSet* set = DataSet();
    bool open = set && set->Active();
    if (columns_.empty() && open) {
        for (int i = 0; i < set->FieldCount(); ++i) {
            QString name = QString::fromStdString(set->ColumnAt(i).name);
            shown.push_back({name, name, -1});
            fields.push_back(i);
        }
        return;
    }
    for (const GridColumn& c : columns_) {
        int field = open ? set->FindField(c.fieldName.toStdString()) : -1;
        QString name = field >= 0 ? QString::fromStdString(set->ColumnAt(field).name) : c.fieldName;
        shown.push_back({name, c.title.isEmpty() ? name : c.title, c.width});
        fields.push_back(field);
    }
}

void RowSetModel::RowsChanged()
{
    RowSet* set = DataSet();
    int rows = set && set->Active() ? set->RecordCount() : 0;
    std::vector<GridColumn> shown;
    std::vector<int> fields;
    Resolve(shown, fields);
    // The same shape (a sort, a refresh, an edit cancelled) only repaints, which keeps the
    // views' selection and scroll position.
    bool sameShape = rows == rows_ && fields == fields_ && shown.size() == shown_.size();
    if (sameShape) {
        shown_ = std::move(shown);
        if (rows_ > 0 && !shown_.empty())
            emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    } else {
        beginResetModel();
        shown_ = std::move(shown);
        fields_ = std::move(fields);
        rows_ = rows;
        endResetModel();
    }
    emit rowsRefreshed();
    emit currentRecordChanged();
}

void RowSetModel::CurrentRowValuesChanged()
{
    RowSet* set = DataSet();
    int row = set ? set->CurrentIndex() : -1;
    if (row >= 0 && row < rows_ && !shown_.empty())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int RowSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int RowSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant RowSetModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    RowSet* set = DataSet();
    int field = index.column() < columnCount() ? fields_[static_cast<size_t>(index.column())] : -1;
    // The set may already hold fewer rows than the views were told, until they hear of it.
    if (!set || !set->Active() || field < 0 || index.row() >= set->RecordCount())
        return QVariant();
    const Value& value = set->ValueAt(index.row(), field);
    return QString::fromStdString(ValueText(value, set->ColumnAt(field).type));
}

QVariant RowSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return shown_[static_cast<size_t>(section)].title;
}
