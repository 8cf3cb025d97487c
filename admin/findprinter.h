#pragma once

#include "admin/foundline.h"
#include "platform/netenum/networkenumerator.h"
#include "platform/ui/modaldialog.h"

#include <memory>
#include <string>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class Tdbform;

// Walks the network for printer shares, lists them with tick boxes, and adds the ticked
// ones to printerstable.
class Tfindprinterfrm : public ModalDialog
{
    Q_OBJECT
public:
    // net: the enumerator to walk with; the OS's own when null.
    Tfindprinterfrm(Tdbform& dbform, std::unique_ptr<NetworkEnumerator> net = nullptr,
                    QWidget* parent = nullptr);
    ~Tfindprinterfrm() override;

    QPushButton* Button1;
    QLabel* Label1;
    QProgressBar* progress;
    QLabel* Label2;
    QLabel* Label3;
    QListWidget* FoundPrinters;
    QLabel* Label4;
    QPushButton* Button2;
    QPushButton* Button3;

    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void FormClose() override;

private:
    // Adds one ticked line; the reason when the store refused it for more than a known path.
    std::string AddFoundLine(const QString& line);

    Tdbform& dbform_;
    std::unique_ptr<NetworkEnumerator> net_;
};

// Appends a line for every printer share below the top of the network; nothing without
// a list.
void ScanNetworkPrinters(NetworkEnumerator& net, QListWidget* list, QProgressBar* progress);
// One level of the walk, depth first; a level that fails adds what it found and ends.
void EnumerateNetworkPrinters(NetworkEnumerator& net, const NetResource* container,
                              QListWidget* list, QProgressBar* progress);
