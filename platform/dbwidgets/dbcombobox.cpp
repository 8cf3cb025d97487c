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

void TDBComboBox::ShowField()
{
    QString value = link_.Text();
    setCurrentIndex(link_.HasField() ? findText(value, Qt::MatchFixedString) : -1);
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
