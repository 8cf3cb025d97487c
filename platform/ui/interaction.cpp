#include "platform/ui/interaction.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QRegularExpression>

namespace
{

// Text that no line break may split: <nobr> keeps its blanks, and a word joiner between
// every two characters keeps the breaks the toolkit allows after '/', '-' or '\\'.
QString Unbreakable(const QString& text)
{
    QString joined;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && !text[i].isLowSurrogate())
            joined += QChar(0x2060);
        joined += text[i];
    }
    return "<nobr>" + joined.toHtmlEscaped() + "</nobr>";
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

QString MessageHtml(const QString& text)
{
    static const QRegularExpression quoted("\"[^\"]*\"");
    QString html;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : quoted.globalMatch(text)) {
        html += text.mid(at, m.capturedStart() - at).toHtmlEscaped();
        html += Unbreakable(m.captured());
        at = m.capturedEnd();
    }
    html += text.mid(at).toHtmlEscaped();
    return html.replace('\n', "<br>");
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, const Message& message)
{
    if (MessageHook())
        return MessageHook()(message);
    QMessageBox box(message.icon, message.caption, MessageHtml(message.text), message.buttons,
                    parent);
    box.setTextFormat(Qt::RichText);
    if (!message.details.isEmpty())
        box.setInformativeText(MessageHtml(message.details));
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
