#include "admin/findprinter.h"

#include "admin/foundline.h"
#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <vector>

namespace
{

constexpr int kProgressStep = 10;
const char* const kScanText = "Scan for Network Printers";
const char* const kStopText = "Stop";

// A listed share's path and comment, kept beside its line.
constexpr int kPathRole = Qt::UserRole;
constexpr int kCommentRole = Qt::UserRole + 1;

// Advances like the desktop framework's progress bar: by its step, starting over past
// the end.
void StepIt(QProgressBar& progress)
{
    const int next = progress.value() + kProgressStep;
    // setValue paints the bar at once whenever its look changes, and a paint costs more than
    // a record: it is painted with the window's next paint instead.
    progress.setUpdatesEnabled(false);
    progress.setValue(next > progress.maximum() ? progress.minimum() : next);
    progress.setUpdatesEnabled(true);
}

// A level of containers: a failing one adds nothing, as an empty one.
std::vector<std::string> ReadContainers(const std::function<std::vector<std::string>()>& read)
{
    try {
        return read();
    } catch (const BrowseError&) {
        return {};
    }
}

// Each container of a level in turn: its step, then the levels below it.
void Descend(const std::vector<std::string>& containers, std::stop_token stop, ScanSink& sink,
             const std::function<void(const std::string&)>& below)
{
    for (const std::string& container : containers) {
        if (stop.stop_requested())
            return;
        sink.RecordSeen();
        below(container);
    }
}

void ListPrinterShares(ShareBrowser& net, const std::string& server, std::stop_token stop,
                       ScanSink& sink)
{
    std::vector<Share> shares;
    try {
        shares = net.Shares(server, stop);
    } catch (const BrowseError&) {
        return;
    }
    for (const Share& share : shares) {
        if (stop.stop_requested())
            return;
        if (share.kind != ShareKind::Printer)
            continue;
        sink.RecordSeen();
        sink.PrinterFound(share);
    }
}

} // namespace

void ScanNetworkPrinters(ShareBrowser& net, std::stop_token stop, ScanSink& sink)
{
    const std::vector<std::string> workgroups =
        ReadContainers([&] { return net.Workgroups(stop); });
    net.ReadServersAhead(workgroups);
    Descend(workgroups, stop, sink, [&](const std::string& workgroup) {
        EnumerateNetworkPrinters(net, workgroup, stop, sink);
    });
}

void EnumerateNetworkPrinters(ShareBrowser& net, const std::string& workgroup, std::stop_token stop,
                              ScanSink& sink)
{
    const std::vector<std::string> servers =
        ReadContainers([&] { return net.Servers(workgroup, stop); });
    net.ReadSharesAhead(servers);
    Descend(servers, stop, sink,
            [&](const std::string& server) { ListPrinterShares(net, server, stop, sink); });
}

Tfindprinterfrm::Tfindprinterfrm(Tdbform& dbform, std::unique_ptr<ShareBrowser> net,
                                 QWidget* parent)
    : ModalDialog(parent), dbform_(dbform), net_(net ? std::move(net) : CreateShareBrowser()),
      scan_(new PrinterScan(this))
{
    setObjectName("findprinterfrm");
    setWindowTitle("Find Printers to Add to Database");
    SetDialogFrame(this, 530, 337);

    scanButton = new QPushButton(kScanText, this);
    scanButton->setGeometry(8, 8, 161, 25);
    longSearchLabel =
        new QLabel("This will scan the entire network for Printer shares and supply them "
                   "below. THIS SEARCH takes a LONG TIME.  If nothing appears check your "
                   "WINS Settings and firewalls are correct. ",
                   this);
    longSearchLabel->setGeometry(176, 8, 346, 42);
    longSearchLabel->setWordWrap(true);
    progress = new QProgressBar(this);
    progress->setGeometry(8, 56, 514, 16);
    progress->setTextVisible(false);
    progress->hide();
    uncPathLabel = new QLabel("Printer UNC Path: ", this);
    uncPathLabel->setGeometry(8, 80, 200, 13);
    shareCommentLabel = new QLabel("[Share Comment]", this);
    shareCommentLabel->setGeometry(212, 80, 200, 13);
    FoundPrinters = new QListWidget(this);
    FoundPrinters->setGeometry(8, 96, 514, 168);
    FoundPrinters->setUniformItemSizes(true);
    tickPrintersLabel =
        new QLabel("Tick the printers you want to add to the database. Then click add "
                   "below. NOTE: If the printer is already in the database then the above "
                   "printer will be ignored.",
                   this);
    tickPrintersLabel->setGeometry(8, 268, 514, 28);
    tickPrintersLabel->setWordWrap(true);
    addButton = new QPushButton("Add Selected Printers to Database", this);
    addButton->setGeometry(8, 304, 209, 25);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setGeometry(224, 304, 97, 25);

    SetDefaultButton(nullptr); // neither Enter nor Escape presses a button here
    connect(scanButton, &QPushButton::clicked, this, &Tfindprinterfrm::scanButtonClick);
    connect(addButton, &QPushButton::clicked, this, &Tfindprinterfrm::addButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &Tfindprinterfrm::cancelButtonClick);
    connect(scan_, &PrinterScan::recordSeen, this, [this] { StepIt(*progress); });
    connect(scan_, &PrinterScan::printerFound, this, &Tfindprinterfrm::AddFoundLine);
    connect(scan_, &PrinterScan::finished, this, &Tfindprinterfrm::ScanEnded);
    setTabOrder(scanButton, progress);
    setTabOrder(progress, FoundPrinters);
    setTabOrder(FoundPrinters, addButton);
    setTabOrder(addButton, cancelButton);
}

Tfindprinterfrm::~Tfindprinterfrm()
{
    // While the widgets its findings go to are still there.
    scan_->Stop();
}

void Tfindprinterfrm::scanButtonClick()
{
    if (scan_->Running()) {
        scan_->Stop();
        return;
    }
    progress->setRange(0, 500);
    progress->setValue(0);
    progress->show();
    FoundPrinters->clear();
    scanButton->setText(kStopText);
    ShareBrowser* net = net_.get();
    scan_->Start(
        [net](std::stop_token stop, ScanSink& sink) { ScanNetworkPrinters(*net, stop, sink); });
}

void Tfindprinterfrm::ScanEnded()
{
    progress->setValue(500);
    progress->hide();
    scanButton->setText(kScanText);
    emit scanEnded();
}

void Tfindprinterfrm::AddFoundLine(const Share& share)
{
    const std::string remoteName = SharePath(share);
    auto* item =
        new QListWidgetItem(QString::fromStdString(FoundPrinterLine(remoteName, share.comment)));
    item->setData(kPathRole, QString::fromStdString(FoundPrinterPath(remoteName)));
    item->setData(kCommentRole, QString::fromStdString(share.comment));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    FoundPrinters->addItem(item);
}

std::string Tfindprinterfrm::AddFoundPrinter(const QListWidgetItem& item)
{
    RowSet& printers = dbform_.printerstable;
    try {
        printers.Append();
        printers.FieldByName("UNCNAME").SetAsString(item.data(kPathRole).toString().toStdString());
        printers.FieldByName("Description")
            .SetAsString(item.data(kCommentRole).toString().toStdString());
        printers.Post();
        return "";
    } catch (const std::exception& e) {
        // Whatever went wrong, this share's row goes and the next one is tried. A path
        // already listed is skipped, as the dialog says; any other failure (a locked or
        // read-only file) is reported rather than lost.
        printers.Cancel();
        const auto* store = dynamic_cast<const StoreError*>(&e);
        return store && store->Fault() == StoreFault::Duplicate ? "" : e.what();
    }
}

void Tfindprinterfrm::addButtonClick()
{
    // What has been found so far is what may be ticked.
    scan_->Stop();
    RunOrReport([this] {
        const int count = FoundPrinters->count();
        std::vector<std::string> failures;
        for (int i = 0; i < count; ++i)
            if (FoundPrinters->item(i)->checkState() == Qt::Checked)
                if (std::string why = AddFoundPrinter(*FoundPrinters->item(i)); !why.empty())
                    failures.push_back(why);
        if (!failures.empty())
            Interaction::ShowMessage(
                this,
                {QString("%1 of the ticked printers could not be added.").arg(failures.size()),
                 QApplication::applicationName(), QMessageBox::Ok, QMessageBox::Warning,
                 QString::fromStdString(failures.front())});
        done(1);
    });
}

void Tfindprinterfrm::cancelButtonClick()
{
    done(-1);
}

void Tfindprinterfrm::FormClose()
{
    scan_->Stop();
    dbform_.printerstable.Refresh();
}
