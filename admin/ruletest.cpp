#include "admin/ruletest.h"

#include "client/whatif.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

std::string RuleTestReport(const Tdbform& dbform, const std::string& computer,
                           const std::string& user)
{
    std::vector<std::string> args = {"wdConfig", "/CLIENTNAME=" + computer};
    // As a switch, the name also stands for %USERNAME% in printer paths.
    if (!user.empty())
        args.push_back("/USERNAME=" + user);
    TBrevUtil util(args);
    util.SetStartDir(dbform.BrevUtil1.getstartdir());
    return WhatIfReport(util, computer, user.empty() ? util.CurrentUserName() : user, nullptr);
}

TRuleTestFrm::TRuleTestFrm(Tdbform& dbform, QWidget* parent) : ModalDialog(parent), dbform_(dbform)
{
    setObjectName("RuleTestFrm");
    setWindowTitle("Test the rules");
    setFont(FormFont());
    resize(640, 420);
    ComputerEdit = new QLineEdit(this);
    UserEdit = new QLineEdit(this);
    UserEdit->setPlaceholderText("the current user");
    TestButton = new QPushButton("Test", this);
    CloseButton = new QPushButton("Close", this);
    Report = new QPlainTextEdit(this);
    Report->setReadOnly(true);
    Report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* form = new QFormLayout;
    form->addRow("Computer name:", ComputerEdit);
    form->addRow("User name (optional):", UserEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(TestButton);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Report);
    layout->addLayout(buttons);

    connect(TestButton, &QPushButton::clicked, this, &TRuleTestFrm::TestButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, [this] { done(-1); });
    SetCancelButton(CloseButton);
    SetDefaultButton(TestButton);
}

void TRuleTestFrm::TestButtonClick()
{
    RunOrReport([this] {
        Report->setPlainText(QString::fromStdString(RuleTestReport(
            dbform_, ComputerEdit->text().toStdString(), UserEdit->text().toStdString())));
    });
}
