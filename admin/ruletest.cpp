#include "admin/ruletest.h"

#include "client/whatif.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <stdexcept>

std::optional<std::vector<IpAddress>> ParseAddressList(const std::string& text)
{
    const QStringList parts =
        QString::fromStdString(text).split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return std::nullopt;
    std::vector<IpAddress> addresses;
    for (const QString& part : parts) {
        const std::optional<IpAddress> address = ParseIpAddress(part.toStdString());
        if (!address)
            throw std::invalid_argument("\"" + part.toStdString() +
                                        "\" is no IPv4 or IPv6 address.");
        addresses.push_back(*address);
    }
    return addresses;
}

std::string RuleTestReport(const Tdbform& dbform, const std::string& computer,
                           const std::string& user,
                           const std::optional<std::vector<IpAddress>>& addresses)
{
    std::vector<std::string> args = {"wdConfig", "/CLIENTNAME=" + computer};
    // As a switch, the name also stands for %USERNAME% in printer paths.
    if (!user.empty())
        args.push_back("/USERNAME=" + user);
    TBrevUtil util(args);
    util.SetStartDir(dbform.BrevUtil1.getstartdir());
    return WhatIfReport(util, computer, user.empty() ? util.CurrentUserName() : user, nullptr,
                        addresses);
}

TRuleTestFrm::TRuleTestFrm(Tdbform& dbform, QWidget* parent) : ModalDialog(parent), dbform_(dbform)
{
    setObjectName("RuleTestFrm");
    setWindowTitle("Test the rules");
    setFont(FormFont());
    resize(640, 420);
    computerEdit = new QLineEdit(this);
    addressEdit = new QLineEdit(this);
    userEdit = new QLineEdit(this);
    testButton = new QPushButton("Test", this);
    closeButton = new QPushButton("Close", this);
    reportView = new QPlainTextEdit(this);
    reportView->setReadOnly(true);
    reportView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* form = new QFormLayout;
    form->addRow("Computer name:", computerEdit);
    form->addRow("Addresses:", addressEdit);
    form->addRow("User name:", userEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(testButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(reportView);
    layout->addLayout(buttons);

    connect(testButton, &QPushButton::clicked, this, &TRuleTestFrm::testButtonClick);
    connect(closeButton, &QPushButton::clicked, this, [this] { done(-1); });
    SetCancelButton(closeButton);
    SetDefaultButton(testButton);
}

void TRuleTestFrm::FormShow()
{
    // Asked at each showing: a laptop's addresses change with its network.
    QStringList own;
    for (const IpAddress& address : HostAddresses())
        own << QString::fromStdString(IpText(address));
    addressEdit->setPlaceholderText("this computer's: " + (own.isEmpty() ? "none" : own.join(' ')));
    // A computer with many addresses has more than the field shows.
    addressEdit->setToolTip(addressEdit->placeholderText());
    userEdit->setPlaceholderText("the current user: " +
                                 QString::fromStdString(dbform_.BrevUtil1.CurrentUserName()));
}

void TRuleTestFrm::testButtonClick()
{
    std::optional<std::vector<IpAddress>> addresses;
    try {
        addresses = ParseAddressList(addressEdit->text().toStdString());
    } catch (const std::invalid_argument& e) {
        Interaction::ShowMessage(this, {QString::fromStdString(e.what()), windowTitle(),
                                        QMessageBox::Ok, QMessageBox::Warning, QString()});
        addressEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    RunOrReport([&] {
        reportView->setPlainText(
            QString::fromStdString(RuleTestReport(dbform_, computerEdit->text().toStdString(),
                                                  userEdit->text().toStdString(), addresses)));
    });
}
