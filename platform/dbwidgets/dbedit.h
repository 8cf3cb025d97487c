#pragma once

#include "platform/dbwidgets/fielddatalink.h"

#include <QLineEdit>

// A line edit bound to one field of the current row. Any change of the text, typed or set
// from code, goes into the pending row; showing the field never writes it back.
class TDBEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    const QString& DataField() const { return link_.FieldName(); }

private:
    void ShowField();
    void WriteField(const QString& text);

    TFieldDataLink link_;
    bool showing_ = false;
    bool writing_ = false;
};
