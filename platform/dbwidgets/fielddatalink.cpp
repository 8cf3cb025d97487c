#include "platform/dbwidgets/fielddatalink.h"

TFieldDataLink::TFieldDataLink(QObject* parent) : QObject(parent) {}

void TFieldDataLink::SetDataSource(TDataSource* source)
{
    if (source_ == source)
        return;
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    Connect();
    emit recordChanged();
}

void TFieldDataLink::Connect()
{
    if (!source_)
        return;
    connect(source_, &TDataSource::dataChanged, this, &TFieldDataLink::recordChanged);
    connect(source_, &TDataSource::scrolled, this, &TFieldDataLink::recordChanged);
    connect(source_, &TDataSource::fieldChanged, this, &TFieldDataLink::recordChanged);
    connect(source_, &TDataSource::stateChanged, this, &TFieldDataLink::recordChanged);
    // A source that goes away leaves the control empty.
    connect(source_, &QObject::destroyed, this, &TFieldDataLink::recordChanged);
}

void TFieldDataLink::SetFieldName(const QString& name)
{
    fieldName_ = name;
    emit recordChanged();
}

RowSet* TFieldDataLink::DataSet() const
{
    return source_ ? &source_->DataSet() : nullptr;
}

bool TFieldDataLink::Active() const
{
    RowSet* set = DataSet();
    return set && set->Active();
}

bool TFieldDataLink::HasField() const
{
    return Active() && DataSet()->FindField(fieldName_.toStdString()) >= 0;
}

Value TFieldDataLink::FieldValue() const
{
    if (!HasField())
        return Value();
    return DataSet()->FieldByName(fieldName_.toStdString()).AsValue();
}

FieldType TFieldDataLink::FieldDataType() const
{
    if (!HasField())
        return FieldType::Text;
    return DataSet()->FieldByName(fieldName_.toStdString()).DataType();
}

QString TFieldDataLink::Text() const
{
    return QString::fromStdString(ValueText(FieldValue(), FieldDataType()));
}

void TFieldDataLink::WriteText(const QString& text)
{
    // Looked up first, so that an unknown field fails before the row goes into edit mode.
    Field field = DataSet()->FieldByName(fieldName_.toStdString());
    source_->Edit();
    field.SetAsString(text.toStdString());
}
