#pragma once

#include "platform/host/ipaddress.h"
#include "platform/ui/modaldialog.h"

#include <optional>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Tdbform;

// "Test...": which printers a computer (and a user, on given addresses) would get from the
// stored rules, as wdclient /WHATIF /OFFLINE reports it. Nothing is done and the database is
// not changed.
class TRuleTestFrm : public ModalDialog
{
    Q_OBJECT
public:
    explicit TRuleTestFrm(Tdbform& dbform, QWidget* parent = nullptr);

    QLineEdit* computerEdit;
    // Empty: this computer's own addresses, which the placeholder shows.
    QLineEdit* addressEdit;
    // Empty: the current user.
    QLineEdit* userEdit;
    QPushButton* testButton;
    QPushButton* closeButton;
    QPlainTextEdit* reportView;

    void testButtonClick();

protected:
    void FormShow() override;

private:
    Tdbform& dbform_;
};

// Addresses separated by blanks or commas; none for an empty text. Throws
// std::invalid_argument naming the first part that is no IPv4 or IPv6 address.
std::optional<std::vector<IpAddress>> ParseAddressList(const std::string& text);

// The report for a computer, a user (empty: the current user) and the computer's addresses
// (none: this computer's own) from the database the data module opened; the shares are not
// asked. Throws on a database error.
std::string RuleTestReport(const Tdbform& dbform, const std::string& computer,
                           const std::string& user,
                           const std::optional<std::vector<IpAddress>>& addresses);
