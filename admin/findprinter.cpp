#include "admin/findprinter.h"

#include "platform/ui/interaction.h"
#include "shared/dbformmain.h"
#include "shared/product.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <vector>

namespace
{

constexpr DWORD kBufferSize = 16384;
constexpr int kProgressStep = 10;

constexpr qint64 kPaintEveryMs = 50;

// Advances like the desktop framework's progress bar: by its step, starting over past
// the end.
void StepIt(QProgressBar* progress, bool aboutToWait)
{
    if (!progress)
        return;
    int next = progress->value() + kProgressStep;
    // The bar would paint itself at once for each step of 10 (a few pixels): it is repainted
    // here instead, before a container is opened (which may take seconds), else at most every
    // 50 ms. Painting it for each of a server's 500 shares costs more than listing them. The
    // walk processes no input; one walk runs at a time, on this thread.
    progress->setUpdatesEnabled(false);
    progress->setValue(next > progress->maximum() ? progress->minimum() : next);
    progress->setUpdatesEnabled(true);
    static QElapsedTimer sincePaint;
    if (aboutToWait || !sincePaint.isValid() || sincePaint.elapsed() >= kPaintEveryMs) {
        progress->repaint();
        sincePaint.start();
    }
}

void VisitRecord(NetworkEnumerator& net, const NetResource& r, QListWidget* list,
                 QProgressBar* progress)
{
    StepIt(progress, r.dwUsage & RESOURCEUSAGE_CONTAINER);
    if (r.dwDisplayType == RESOURCEDISPLAYTYPE_SHARE && r.dwType == RESOURCETYPE_PRINT &&
        r.lpRemoteName && *r.lpRemoteName) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(FoundPrinterLine(r.lpRemoteName, r.lpComment)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
    if (r.dwUsage & RESOURCEUSAGE_CONTAINER)
        EnumerateNetworkPrinters(net, &r, list, progress);
}

// Closes the level's handle however the level ends.
struct EnumCloser {
    NetworkEnumerator& net;
    EnumHandle handle;
    ~EnumCloser() { net.WNetCloseEnum(handle); }
};

} // namespace

void ScanNetworkPrinters(NetworkEnumerator& net, QListWidget* list, QProgressBar* progress)
{
    if (!list)
        return;
    EnumerateNetworkPrinters(net, nullptr, list, progress);
}

void EnumerateNetworkPrinters(NetworkEnumerator& net, const NetResource* container,
                              QListWidget* list, QProgressBar* progress)
{
    DWORD bufferSize = kBufferSize;
    EnumHandle handle = nullptr;
    if (net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, container, &handle) !=
        NO_ERROR_)
        return;
    EnumCloser closer{net, handle};
    // NetResource records first, then their texts: aligned for the records.
    std::vector<NetResource> storage(kBufferSize / sizeof(NetResource) + 1);
    void* buffer = storage.data();
    for (;;) {
        DWORD count = 0xFFFFFFFF;
        if (net.WNetEnumResource(handle, &count, buffer, &bufferSize) != NO_ERROR_)
            break;
        const auto* records = static_cast<const NetResource*>(buffer);
        net.ReadAhead(records, count);
        for (DWORD i = 0; i < count; ++i)
            VisitRecord(net, records[i], list, progress);
    }
}

Tfindprinterfrm::Tfindprinterfrm(Tdbform& dbform, std::unique_ptr<NetworkEnumerator> net,
                                 QWidget* parent)
    : ModalDialog(parent), dbform_(dbform), net_(net ? std::move(net) : CreateNetworkEnumerator())
{
    setObjectName("findprinterfrm");
    setWindowTitle("Find Printers to Add to Database");
    SetDialogFrame(this, 530, 337);

    Button1 = new QPushButton("Scan for Network Printers", this);
    Button1->setGeometry(8, 8, 161, 25);
    Label1 = new QLabel("This will scan the entire network for Printer shares and supply them "
                        "below. THIS SEARCH takes a LONG TIME.  If nothing appears check your "
                        "WINS Settings and firewalls are correct. ",
                        this);
    Label1->setGeometry(176, 8, 346, 42);
    Label1->setWordWrap(true);
    progress = new QProgressBar(this);
    progress->setGeometry(8, 56, 514, 16);
    progress->setTextVisible(false);
    progress->hide();
    Label2 = new QLabel("Printer UNC Path: ", this);
    Label2->setGeometry(8, 80, 200, 13);
    Label3 = new QLabel("[Share Comment]", this);
    Label3->setGeometry(212, 80, 200, 13);
    FoundPrinters = new QListWidget(this);
    FoundPrinters->setGeometry(8, 96, 514, 168);
    Label4 = new QLabel("Tick the printers you want to add to the database. Then click add "
                        "below. NOTE: If the printer is already in the database then the above "
                        "printer will be ignored.",
                        this);
    Label4->setGeometry(8, 268, 514, 28);
    Label4->setWordWrap(true);
    Button2 = new QPushButton("Add Selected Printers to Database", this);
    Button2->setGeometry(8, 304, 209, 25);
    Button3 = new QPushButton("Cancel", this);
    Button3->setGeometry(224, 304, 97, 25);

    SetDefaultButton(nullptr); // neither Enter nor Escape presses a button here
    connect(Button1, &QPushButton::clicked, this, &Tfindprinterfrm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfindprinterfrm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfindprinterfrm::Button3Click);
    setTabOrder(Button1, progress);
    setTabOrder(progress, FoundPrinters);
    setTabOrder(FoundPrinters, Button2);
    setTabOrder(Button2, Button3);
}

Tfindprinterfrm::~Tfindprinterfrm() = default;

void Tfindprinterfrm::Button1Click()
{
    progress->setRange(0, 500);
    progress->setValue(0);
    progress->show();
    FoundPrinters->clear();
    ScanNetworkPrinters(*net_, FoundPrinters, progress);
    progress->setValue(500);
    progress->hide();
}

std::string Tfindprinterfrm::AddFoundLine(const QString& line)
{
    RowSet& printers = dbform_.printerstable;
    try {
        printers.Append();
        std::string path, description;
        SplitFoundLine(line.toStdString(), path, description);
        printers.FieldByName("UNCNAME").SetAsString(path);
        printers.FieldByName("Description").SetAsString(description);
        printers.Post();
        return "";
    } catch (const std::exception& e) {
        // Whatever went wrong, this line's row goes and the next line is tried. A path
        // already listed is skipped, as the dialog says; any other failure (a locked or
        // read-only file) is reported rather than lost.
        printers.Cancel();
        const auto* store = dynamic_cast<const StoreError*>(&e);
        return store && store->Fault() == StoreFault::Duplicate ? "" : e.what();
    }
}

void Tfindprinterfrm::Button2Click()
{
    RunOrReport([this] {
        int count = FoundPrinters->count();
        std::vector<std::string> failures;
        for (int i = 0; i < count; ++i)
            if (FoundPrinters->item(i)->checkState() == Qt::Checked)
                if (std::string why = AddFoundLine(FoundPrinters->item(i)->text()); !why.empty())
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

void Tfindprinterfrm::Button3Click()
{
    done(-1);
}

void Tfindprinterfrm::FormClose()
{
    dbform_.printerstable.Refresh();
}
