#include "platform/dbwidgets/dbedit.h"

#include "platform/ui/interaction.h"

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(&link_, &TFieldDataLink::recordChanged, this, &TDBEdit::ShowField);
    connect(this, &QLineEdit::textChanged, this, &TDBEdit::WriteField);
}

void TDBEdit::ShowField()
{
    // While the text is being written the field already holds it; showing it again would
    // move the cursor under the user's hands.
    if (writing_)
        return;
    QString value = link_.Text();
    if (value == text())
        return;
    showing_ = true;
    setText(value);
    showing_ = false;
}

void TDBEdit::WriteField(const QString& value)
{
    if (showing_)
        return;
    if (!link_.Active()) {
        ShowField();
        return;
    }
    writing_ = true;
    try {
        link_.WriteText(value);
        writing_ = false;
    } catch (const std::exception& e) {
        writing_ = false;
        Interaction::ReportError(this, e);
        ShowField();
    }
}
