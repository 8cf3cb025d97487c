// The Find Printers dialog's scan inside a running program, from the click on "Scan for
// Network Printers" to the filled list, on the offscreen platform. The network's browse list
// is given here (one workgroup holding the servers named), as a real one needs as many
// machines registered by NetBIOS; every server's shares are read from the server itself.
//
//   scanbench [--runs N] [--one-by-one] [--lines FILE] SERVER...
//
// Prints one line per click: milliseconds, the number of lines found, and the longest time in
// milliseconds the dialog's event loop went without running (a timer asks it every 2 ms,
// from the click to the end of the scan). --one-by-one walks without reading ahead, as the
// dialog did before its servers were asked side by side; --lines writes the list of the last
// click, a line each, to compare the two.

#include "admin/findprinter.h"
#include "platform/netenum/smbsharebrowser.h"
#include "shared/dbformmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

// The browse list as given; the servers' shares come from the libsmbclient browser.
class BrowseList : public ShareBrowser
{
public:
    BrowseList(std::vector<std::string> servers, bool readAhead)
        : servers_(std::move(servers)), readAhead_(readAhead)
    {
    }
    std::vector<std::string> Workgroups(std::stop_token) override { return {"BENCHGROUP"}; }
    std::vector<std::string> Servers(const std::string&, std::stop_token) override
    {
        return servers_;
    }
    std::vector<Share> Shares(const std::string& server, std::stop_token stop) override
    {
        return smb_.Shares(server, stop);
    }
    void ReadSharesAhead(const std::vector<std::string>& servers) override
    {
        if (readAhead_)
            smb_.ReadSharesAhead(servers);
    }

private:
    std::vector<std::string> servers_;
    bool readAhead_;
    SmbShareBrowser smb_;
};

// The longest time between two turns of the event loop, as a timer that asks for one every
// 2 ms sees it.
class GapMeter
{
public:
    GapMeter()
    {
        ticks_.setTimerType(Qt::PreciseTimer);
        ticks_.setInterval(2);
        QObject::connect(&ticks_, &QTimer::timeout, [this] { Mark(); });
    }
    void Start()
    {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        ticks_.start();
    }
    // The longest gap in milliseconds, the one up to now included.
    double Stop()
    {
        ticks_.stop();
        Mark();
        return static_cast<double>(longest_) / 1e6;
    }

private:
    void Mark()
    {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

    QTimer ticks_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

void WriteLines(const QListWidget& list, const char* file)
{
    std::FILE* out = std::fopen(file, "w");
    if (!out)
        return;
    for (int i = 0; i < list.count(); ++i)
        std::fprintf(out, "%s\n", list.item(i)->text().toUtf8().constData());
    std::fclose(out);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int runs = 1;
    bool readAhead = true;
    const char* linesFile = nullptr;
    std::vector<std::string> servers;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--one-by-one"))
            readAhead = false;
        else if (!std::strcmp(argv[i], "--lines") && i + 1 < argc)
            linesFile = argv[++i];
        else
            servers.push_back(argv[i]);
    }
    if (servers.empty() || runs < 1) {
        std::fprintf(stderr,
                     "usage: scanbench [--runs N] [--one-by-one] [--lines FILE] SERVER...\n");
        return 2;
    }
    Tdbform dbform(TBrevUtil({"wdConfig"}));
    int found = 0;
    for (int run = 0; run < runs; ++run) {
        Tfindprinterfrm dialog(dbform, std::make_unique<BrowseList>(servers, readAhead));
        dialog.show();
        QApplication::processEvents();
        QEventLoop untilEnded;
        QObject::connect(&dialog, &Tfindprinterfrm::scanEnded, &untilEnded, &QEventLoop::quit);
        GapMeter gaps;
        QElapsedTimer timer;
        timer.start();
        gaps.Start();
        dialog.scanButtonClick();
        untilEnded.exec();
        const double gap = gaps.Stop();
        QApplication::processEvents();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        found = dialog.FoundPrinters->count();
        std::printf("%.1f\t%d\t%.1f\n", ms, found, gap);
        std::fflush(stdout);
        if (linesFile && run == runs - 1)
            WriteLines(*dialog.FoundPrinters, linesFile);
    }
    // Ends at once: the scans are what is measured, not Qt's teardown.
    std::_Exit(found > 0 ? 0 : 1);
}
