#pragma once

#include "platform/dbwidgets/fielddatalink.h"

#include <QComboBox>

class QTableView;
class RowSetModel;

// A pick list whose rows come from a second data source (ListSource). The open list shows
// the ListField fields ("UNCName;Description") as columns; picking a row writes its
// KeyField value into the DataField. The closed box shows the key of the listed row whose
// key equals the field (ignoring ASCII case), or nothing; it never writes by itself.
class TDBLookupComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    const QString& DataField() const { return link_.FieldName(); }
    void SetListSource(TDataSource* source);
    TDataSource* ListSource() const;
    void SetKeyField(const QString& name);
    const QString& KeyField() const { return keyField_; }
    // Field names separated by ';'; the first is shown first.
    void SetListField(const QString& names);
    const QString& ListField() const { return listField_; }

    void showPopup() override;

private:
    void BuildColumns();
    void SizeColumns();
    void ShowField();
    int FindKey(const Value& value) const;
    void Pick(int row);

    TFieldDataLink link_;
    RowSetModel* list_;
    QTableView* view_;
    QString keyField_;
    QString listField_;
};
