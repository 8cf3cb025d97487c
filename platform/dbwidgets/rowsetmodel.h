#pragma once

#include "platform/dbwidgets/datasource.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <vector>

// One column of a grid or of a lookup list.
struct GridColumn {
    QString fieldName;
    QString title;  // empty: the field's own name
    int width = -1; // in pixels; -1: the view's default
};

// The rows of a data source's row set as a table, read from the row set as they are asked
// for: nothing is copied, so a view paints 100,000 rows as fast as 10.
class RowSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RowSetModel(QObject* parent = nullptr);

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    // The row set, or null without a data source.
    RowSet* DataSet() const;
    // No columns: every field of the set.
    void SetColumns(std::vector<GridColumn> columns);
    // The columns shown, with the field names the set spells.
    const std::vector<GridColumn>& ShownColumns() const { return shown_; }
    // The field a column shows, as the caller named it.
    QString FieldNameAt(int column) const;
    // The set is open and lacks the column's field (an older database, say).
    bool FieldMissing(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The rows were read again (after views were told).
    void rowsRefreshed();
    // Another row may be current.
    void currentRecordChanged();

private:
    void Connect();
    void RowsChanged();
    void CurrentRowValuesChanged();
    void Resolve(std::vector<GridColumn>& shown, std::vector<int>& fields) const;

    QPointer<TDataSource> source_;
    std::vector<GridColumn> columns_;
    std::vector<GridColumn> shown_;
    std::vector<int> fields_; // per shown column the set's field index, -1 when absent
    int rows_ = 0;            // the number of rows the views were told
};
