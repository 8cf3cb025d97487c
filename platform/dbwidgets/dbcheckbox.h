#pragma once

#include "platform/dbwidgets/fielddatalink.h"

#include <QCheckBox>

// A check box bound to a yes/no field: ticked for yes, clear for no, partially checked for
// an empty field. A click ticks an empty or clear box and clears a ticked one.
class TDBCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit TDBCheckBox(QWidget* parent = nullptr);
    explicit TDBCheckBox(const QString& text, QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    const QString& DataField() const { return link_.FieldName(); }
    // The texts written for ticked and clear, and recognised (ignoring case) when shown.
    void SetValueChecked(const QString& value);
    const QString& ValueChecked() const { return valueChecked_; }
    void SetValueUnchecked(const QString& value);
    const QString& ValueUnchecked() const { return valueUnchecked_; }

protected:
    void nextCheckState() override;

private:
    void Init();
    void ShowField();
    Qt::CheckState FieldState() const;

    TFieldDataLink link_;
    QString valueChecked_ = "True";
    QString valueUnchecked_ = "False";
};
