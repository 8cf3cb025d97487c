#include "platform/dbwidgets/dbcheckbox.h"

#include "platform/host/textutil.h"
#include "platform/ui/interaction.h"

TDBCheckBox::TDBCheckBox(QWidget* parent) : QCheckBox(parent)
{
    Init();
}

TDBCheckBox::TDBCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
    Init();
}

void TDBCheckBox::Init()
{
    setTristate(true);
    connect(&link_, &TFieldDataLink::recordChanged, this, &TDBCheckBox::ShowField);
    ShowField();
}

void TDBCheckBox::SetValueChecked(const QString& value)
{
    valueChecked_ = value;
    ShowField();
}

void TDBCheckBox::SetValueUnchecked(const QString& value)
{
    valueUnchecked_ = value;
    ShowField();
}

Qt::CheckState TDBCheckBox::FieldState() const
{
    if (!link_.HasField())
        return Qt::Unchecked;
    Value value = link_.FieldValue();
    if (value.IsNull())
        return Qt::PartiallyChecked;
    if (link_.FieldDataType() == FieldType::Boolean && value.IsInteger())
        return value.IntegerValue() != 0 ? Qt::Checked : Qt::Unchecked;
    std::string text = link_.Text().toStdString();
    if (EqualsIgnoreCase(text, valueChecked_.toStdString()))
        return Qt::Checked;
    if (EqualsIgnoreCase(text, valueUnchecked_.toStdString()))
        return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

void TDBCheckBox::ShowField()
{
    setCheckState(FieldState());
}

void TDBCheckBox::nextCheckState()
{
    // The state shown always comes from the field, so a failed write shows the old one.
    if (link_.Active()) {
        bool tick = checkState() != Qt::Checked;
        try {
            link_.WriteText(tick ? valueChecked_ : valueUnchecked_);
        } catch (const std::exception& e) {
            Interaction::ReportError(this, e);
        }
    }
    ShowField();
}
