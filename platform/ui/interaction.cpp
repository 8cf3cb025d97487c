#include "platform/ui/interaction.h"

#include <QApplication>
#include <QDialog>

namespace
{

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
    QMessageBox box(message.icon, message.caption, message.text, message.buttons, parent);
    box.setInformativeText(message.details);
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
