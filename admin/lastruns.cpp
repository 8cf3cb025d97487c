#include "admin/lastruns.h"

#include "platform/store/runlogtable.h"
#include "platform/store/schema.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

const QStringList kTitles = {"Computer", "User", "Time", "Rule", "Outcome", "What failed and why",
                             "Duration"};

QString LocalTime(const std::string& isoUtc)
{
    const QDateTime t = QDateTime::fromString(QString::fromStdString(isoUtc), Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime().toString("yyyy-MM-dd HH:mm:ss")
                       : QString::fromStdString(isoUtc);
}

QTableWidgetItem* Cell(const QString& text, const QString& full = {})
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(Qt::UserRole, full);
    return item;
}

} // namespace

TLastRunsFrm::TLastRunsFrm(Tdbform& dbform, QWidget* parent)
    : QDialog(parent, Qt::Window), dbform_(dbform)
{
    setObjectName("LastRunsFrm");
    setWindowTitle("Last runs");
    setFont(FormFont());
    resize(860, 480);
    Summary = new QLabel(this);
    Runs = new QTableWidget(0, kTitles.size(), this);
    Runs->setHorizontalHeaderLabels(kTitles);
    Runs->setSelectionBehavior(QAbstractItemView::SelectRows);
    Runs->setSelectionMode(QAbstractItemView::SingleSelection);
    Runs->verticalHeader()->hide();
    Runs->horizontalHeader()->setStretchLastSection(false);
    Runs->setWordWrap(true);
    Actions = new QPlainTextEdit(this);
    Actions->setReadOnly(true);
    Actions->setMaximumHeight(130);
    RefreshButton = new QPushButton("Refresh", this);
    auto* close = new QPushButton("Close", this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Summary, 1);
    buttons->addWidget(RefreshButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Runs, 1);
    layout->addWidget(new QLabel("Actions of the selected run:", this));
    layout->addWidget(Actions);
    layout->addLayout(buttons);

    connect(RefreshButton, &QPushButton::clicked, this, &TLastRunsFrm::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(Runs, &QTableWidget::itemSelectionChanged, this, &TLastRunsFrm::ShowActions);
}

void TLastRunsFrm::Refresh()
{
    Runs->setRowCount(0);
    Actions->clear();
    const Connection& connection = dbform_.ADOConnection;
    if (!HasRunLogTable(connection.Driver())) {
        Summary->setText("This database has no run log yet: open it with write access once.");
        return;
    }
    const std::vector<RunLogRow> rows = LatestRuns(connection.Driver());
    int failed = 0;
    for (const RunLogRow& run : rows) {
        const int r = Runs->rowCount();
        Runs->insertRow(r);
        const QString problems = QString::fromStdString(run.problems);
        Runs->setItem(
            r, 0, Cell(QString::fromStdString(run.computer), QString::fromStdString(run.results)));
        Runs->setItem(r, 1, Cell(QString::fromStdString(run.user)));
        Runs->setItem(r, 2, Cell(LocalTime(run.started)));
        Runs->setItem(r, 3, Cell(QString::fromStdString(run.rules)));
        Runs->setItem(r, 4, Cell(QString::fromStdString(run.outcome)));
        Runs->setItem(r, 5, Cell(problems));
        Runs->item(r, 5)->setToolTip(problems);
        Runs->setItem(r, 6,
                      Cell(run.durationMs < 1000
                               ? QString::number(run.durationMs) + " ms"
                               : QString::number(run.durationMs / 1000.0, 'f', 1) + " s"));
        if (run.failures > 0) {
            ++failed;
            for (int c = 0; c < kTitles.size(); ++c)
                Runs->item(r, c)->setForeground(QColor(170, 0, 0));
        }
    }
    Runs->resizeColumnsToContents();
    // Long reasons wrap rather than widen the window.
    Runs->setColumnWidth(5, std::min(Runs->columnWidth(5), 440));
    Runs->resizeRowsToContents();
    Summary->setText(QString("%1 %2, %3 with failures at their last run")
                         .arg(rows.size())
                         .arg(rows.size() == 1 ? "computer" : "computers")
                         .arg(failed));
    if (!rows.empty())
        Runs->selectRow(0);
}

void TLastRunsFrm::ShowActions()
{
    const int r = Runs->currentRow();
    Actions->setPlainText(r < 0 ? QString() : Runs->item(r, 0)->data(Qt::UserRole).toString());
}
