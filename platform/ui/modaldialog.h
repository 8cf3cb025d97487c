#pragma once

#include <QDialog>
#include <exception>
#include <functional>

class QPushButton;

// A dialog that behaves like the forms of the original desktop framework: Enter presses the
// default button, Escape presses the cancel button (or nothing when there is none), the
// close box ends with CloseBoxResult unless FormCloseQuery refuses, and FormClose runs
// however the dialog closes.
// An error that must reach the caller is carried out of the modal loop and raised again
// by ShowModal, since exceptions must not cross Qt's event loop.
class ModalDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int CloseBoxResult = 2;

    explicit ModalDialog(QWidget* parent = nullptr);

    // Runs the dialog through the interaction seam; raises an error that escaped.
    int ShowModal();
    void SetCancelButton(QPushButton* button) { cancelButton_ = button; }
    // The button Enter presses; null: Enter presses none. Call after the buttons exist.
    void SetDefaultButton(QPushButton* button);

    void done(int result) override;
    void reject() override;

protected:
    // Called when the close box is pressed: false, or an error it raises (which is
    // reported), keeps the dialog open, as after a refused OK.
    virtual bool FormCloseQuery() { return true; }
    // Called whenever the dialog closes, before it is hidden.
    virtual void FormClose() {}
    // Called each time the dialog is shown.
    virtual void FormShow() {}
    // Runs fn; an error is reported and the dialog stays open.
    void RunOrReport(const std::function<void()>& fn);
    // Runs fn; an error closes the dialog and is raised again by ShowModal.
    void RunOrEscape(const std::function<void()>& fn);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* cancelButton_ = nullptr;
    std::exception_ptr escaped_;
    bool closing_ = false;
};
