#include "platform/ui/interaction.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QRegularExpression>

namespace
{

// The text as rich text in which nothing quoted (a printer's path, a file's name) is broken
// across lines.
QString KeepQuotedWhole(const QString& text)
{
    static const QRegularExpression quoted("\"[^\"]*\"");
    QString html;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : quoted.globalMatch(text)) {
        html += text.mid(at, m.capturedStart() - at).toHtmlEscaped();
        html += "<nobr>" + m.captured().toHtmlEscaped() + "</nobr>";
        at = m.capturedEnd();
    }
    html += text.mid(at).toHtmlEscaped();
    return html.replace('\n', "<br>");
}

// A message box sizes itself to its text, but a window manager cuts a title that does not
// fit: keep room for the title in the title bar's font, its icon and its buttons.
void MakeRoomForTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont bold = box.font();
    bold.setBold(true);
    int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 120;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// Only tests replace these; the programs use the defaults.
Interaction::MessageHandler& MessageHook()
{
    static Interaction::MessageHandler hook;
    return hook;
}

Interaction::ModalHandler& ModalHook()
{
    static Interaction::ModalHandler hook;
    return hook;
}

} // namespace

namespace Interaction
{

QMessageBox::StandardButton ShowMessage(QWidget* parent, const Message& message)
{
    if (MessageHook())
        return MessageHook()(message);
    QMessageBox box(message.icon, message.caption, KeepQuotedWhole(message.text), message.buttons,
                    parent);
    box.setTextFormat(Qt::RichText);
    if (!message.details.isEmpty())
        box.setInformativeText(KeepQuotedWhole(message.details));
    MakeRoomForTitle(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int ShowModal(QDialog& dialog)
{
    if (ModalHook())
        return ModalHook()(dialog);
    return dialog.exec();
}

void SetMessageHandler(MessageHandler handler)
{
    MessageHook() = std::move(handler);
}

void SetModalHandler(ModalHandler handler)
{
    ModalHook() = std::move(handler);
}

void ReportError(QWidget* parent, const std::exception& error)
{
    ShowMessage(parent, {QString::fromStdString(error.what()), QApplication::applicationName(),
                         QMessageBox::Ok, QMessageBox::Critical, QString()});
}

void Guarded(QWidget* parent, const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        ReportError(parent, e);
    }
}

} // namespace Interaction
