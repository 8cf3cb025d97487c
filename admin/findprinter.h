#pragma once

#include "admin/printerscan.h"
#include "platform/netenum/sharebrowser.h"
#include "platform/ui/modaldialog.h"

#include <memory>
#include <stop_token>
#include <string>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class Tdbform;

// Walks the network for printer shares, lists them with tick boxes, and adds the ticked
// ones to printerstable. The walk runs on a thread of its own; the scan button stops it.
class Tfindprinterfrm : public ModalDialog
{
    Q_OBJECT
public:
    // net: the network to walk; the OS's own when null.
    Tfindprinterfrm(Tdbform& dbform, std::unique_ptr<ShareBrowser> net = nullptr,
                    QWidget* parent = nullptr);
    ~Tfindprinterfrm() override;

    QPushButton* scanButton;
    QLabel* longSearchLabel;
    QProgressBar* progress;
    QLabel* uncPathLabel;
    QLabel* shareCommentLabel;
    QListWidget* FoundPrinters;
    QLabel* tickPrintersLabel;
    QPushButton* addButton;
    QPushButton* cancelButton;

    // Starts a scan, or stops the one that runs (the lines found so far stay).
    void scanButtonClick();
    void addButtonClick();
    void cancelButtonClick();

    bool Scanning() const { return scan_->Running(); }

signals:
    // A scan has ended, by itself or stopped.
    void scanEnded();

protected:
    void FormClose() override;

private:
    void ScanEnded();
    void AddFoundLine(const Share& share);
    // Adds one ticked share; the reason when the store refused it for more than a known path.
    std::string AddFoundPrinter(const QListWidgetItem& item);

    Tdbform& dbform_;
    std::unique_ptr<ShareBrowser> net_;
    PrinterScan* scan_;
};

// The walk from the top of the network: each workgroup, its servers, their printer shares,
// depth first in the order the levels list them. A level that cannot be read adds nothing
// and the level above goes on; nothing is reported. Ends early once a stop is requested.
void ScanNetworkPrinters(ShareBrowser& net, std::stop_token stop, ScanSink& sink);
// One workgroup of the walk: its servers and their printer shares.
void EnumerateNetworkPrinters(ShareBrowser& net, const std::string& workgroup, std::stop_token stop,
                              ScanSink& sink);
