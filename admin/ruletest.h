#pragma once

#include "platform/ui/modaldialog.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Tdbform;

// "Test...": which printers a computer (and a user) would get from the stored rules, as
// wdclient /WHATIF /OFFLINE reports it. Nothing is done and the database is not changed.
class TRuleTestFrm : public ModalDialog
{
    Q_OBJECT
public:
    explicit TRuleTestFrm(Tdbform& dbform, QWidget* parent = nullptr);

    QLineEdit* ComputerEdit;
    QLineEdit* UserEdit;
    QPushButton* TestButton;
    QPushButton* CloseButton;
    QPlainTextEdit* Report;

    void TestButtonClick();

private:
    Tdbform& dbform_;
};

// The report for a computer and a user (empty: the current user) from the database the
// data module opened; the shares are not asked. Throws on a database error.
std::string RuleTestReport(const Tdbform& dbform, const std::string& computer,
                           const std::string& user);
