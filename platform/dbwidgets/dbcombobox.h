#pragma once

#include "platform/dbwidgets/fielddatalink.h"

#include <QComboBox>

// A pick-only combo box of fixed items (addItem/addItems) bound to a field: shows the item
// equal to the field's text (ignoring case), else the default item, if any; picking an item
// writes its text.
class TDBComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TDBComboBox(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    const QString& DataField() const { return link_.FieldName(); }
    // The item that stands for an empty or unknown value, or for a field the set lacks.
    void SetDefaultItem(const QString& text);

private:
    void ShowField();
    void Pick(int index);

    TFieldDataLink link_;
    QString defaultItem_;
};
