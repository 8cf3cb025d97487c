#pragma once

#include <QMessageBox>
#include <QString>
#include <exception>
#include <functional>

class QDialog;
class QWidget;

// The one seam through which message boxes and modal showings pass, so that tests can
// answer them. By default they are shown to the user.
namespace Interaction
{

struct Message {
    QString text;
    QString caption;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString details; // a second, smaller paragraph: the cause
};

using MessageHandler = std::function<QMessageBox::StandardButton(const Message&)>;
using ModalHandler = std::function<int(QDialog&)>;

// A message's text as the box shows it: rich text in which nothing quoted (a printer's
// path, a file's name) is broken across lines.
QString MessageHtml(const QString& text);

// Shows a message box and returns the button pressed.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const Message& message);
// Runs the dialog modally and returns its result.
int ShowModal(QDialog& dialog);

// Replaces the handlers; an empty function restores the default. For tests.
void SetMessageHandler(MessageHandler handler);
void SetModalHandler(ModalHandler handler);

// The default report of an error that a handler did not catch: its message in a box
// titled with the application's title.
void ReportError(QWidget* parent, const std::exception& error);
// Runs fn; an error it raises is reported and goes no further.
void Guarded(QWidget* parent, const std::function<void()>& fn);

} // namespace Interaction
