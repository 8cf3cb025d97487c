#pragma once

#include "platform/dbwidgets/datasource.h"

#include <QObject>
#include <QPointer>
#include <QString>

// What a data-aware control shares: the data source, the field it shows (found without
// regard to case) and the way a user edit reaches the pending row.
class TFieldDataLink : public QObject
{
    Q_OBJECT
public:
    explicit TFieldDataLink(QObject* parent = nullptr);

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    void SetFieldName(const QString& name);
    const QString& FieldName() const { return fieldName_; }

    // The row set, or null without a data source.
    RowSet* DataSet() const;
    // The set is open; a control takes no edits otherwise.
    bool Active() const;
    // The set is open and has the field.
    bool HasField() const;
    // The current row's value; empty without a field or a current row.
    Value FieldValue() const;
    FieldType FieldDataType() const;
    QString Text() const;

    // Puts a browsing set into edit mode, then sets the field from text. Needs Active().
    // Throws StoreError.
    void WriteText(const QString& text);

signals:
    // The control should show the field again.
    void recordChanged();

private:
    void Connect();

    QPointer<TDataSource> source_;
    QString fieldName_;
};
