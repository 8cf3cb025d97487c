#include "platform/ui/modaldialog.h"

#include "platform/ui/interaction.h"

#include <QKeyEvent>
#include <QPushButton>

ModalDialog::ModalDialog(QWidget* parent) : QDialog(parent) {}

int ModalDialog::ShowModal()
{
    escaped_ = nullptr;
    int result = Interaction::ShowModal(*this);
    if (escaped_) {
        std::exception_ptr e = escaped_;
        escaped_ = nullptr;
        std::rethrow_exception(e);
    }
    return result;
}

void ModalDialog::SetDefaultButton(QPushButton* button)
{
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    if (button)
        button->setDefault(true);
}

void ModalDialog::done(int result)
{
    if (closing_)
        return;
    closing_ = true;
    RunOrEscape([this] { FormClose(); });
    closing_ = false;
    QDialog::done(result);
}

void ModalDialog::reject()
{
    // Escape is handled in keyPressEvent, so this is the close box.
    bool mayClose = false;
    RunOrReport([&] { mayClose = FormCloseQuery(); });
    if (mayClose)
        done(CloseBoxResult);
}

void ModalDialog::RunOrReport(const std::function<void()>& fn)
{
    Interaction::Guarded(this, fn);
}

void ModalDialog::RunOrEscape(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (...) {
        if (!escaped_)
            escaped_ = std::current_exception();
        // Queued: during show() the modal loop has not started yet and would miss it.
        if (!closing_)
            QMetaObject::invokeMethod(
                this, [this] { QDialog::done(CloseBoxResult); }, Qt::QueuedConnection);
    }
}

void ModalDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunOrEscape([this] { FormShow(); });
}

void ModalDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancelButton_ && cancelButton_->isEnabled())
            cancelButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
