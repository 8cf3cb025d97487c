#include "platform/dbwidgets/dbcombobox.h"

#include "platform/ui/interaction.h"

TDBComboBox::TDBComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(&link_, &TFieldDataLink::recordChanged, this, &TDBComboBox::ShowField);
    connect(this, &QComboBox::activated, this, &TDBComboBox::Pick);
    // QComboBox makes the first item current when items arrive; the field decides instead.
    connect(model(), &QAbstractItemModel::rowsInserted, this, &TDBComboBox::ShowField);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &TDBComboBox::ShowField);
    connect(model(), &QAbstractItemModel::modelReset, this, &TDBComboBox::ShowField);
}

void TDBComboBox::SetDefaultItem(const QString& text)
{
    defaultItem_ = text;
    ShowField();
}

void TDBComboBox::ShowField()
{
    int index = link_.HasField() ? findText(link_.Text(), Qt::MatchFixedString) : -1;
    if (index < 0 && !defaultItem_.isEmpty())
        index = findText(defaultItem_);
    setCurrentIndex(index);
}

void TDBComboBox::Pick(int index)
{
    if (link_.Active() && index >= 0) {
        try {
            link_.WriteText(itemText(index));
        } catch (const std::exception& e) {
            Interaction::ReportError(this, e);
        }
    }
    ShowField();
}
