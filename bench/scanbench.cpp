// The Find Printers dialog's scan inside a running program, from the click on "Scan for
// Network Printers" to the filled list, on the offscreen platform. The network's browse list
// is given here (one workgroup holding the servers named), as a real one needs as many
// machines registered by NetBIOS; every server level is read from the servers themselves.
//
//   scanbench [--runs N] [--one-by-one] [--lines FILE] SERVER...
//
// Prints one line per click: milliseconds and the number of lines found. --one-by-one walks
// without reading ahead, as the dialog did before its servers were asked side by side;
// --lines writes the list of the last click, a line each, to compare the two.

#include "admin/findprinter.h"
#include "platform/netenum/resourcebuffer.h"
#include "platform/netenum/smbenumerator.h"
#include "shared/dbformmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{

constexpr char kWorkgroup[] = "BENCHGROUP";

ResourceEntry Container(DWORD displayType, const std::string& name)
{
    ResourceEntry entry;
    entry.dwDisplayType = displayType;
    entry.dwUsage = RESOURCEUSAGE_CONTAINER;
    entry.remoteName = name;
    entry.comment = "";
    entry.provider = kSmbProvider;
    return entry;
}

// The browse list as given; the server levels go to the libsmbclient back end.
class BrowseList : public NetworkEnumerator
{
public:
    BrowseList(const std::vector<std::string>& servers, bool readAhead) : readAhead_(readAhead)
    {
        top_.push_back(Container(RESOURCEDISPLAYTYPE_DOMAIN, kWorkgroup));
        for (const std::string& server : servers)
            group_.push_back(Container(RESOURCEDISPLAYTYPE_SERVER, "\\\\" + server));
    }

    DWORD WNetOpenEnum(DWORD scope, DWORD type, DWORD usage, const NetResource* container,
                       EnumHandle* handle) override
    {
        const std::vector<ResourceEntry>* level =
            container == nullptr                                    ? &top_
            : std::strcmp(container->lpRemoteName, kWorkgroup) == 0 ? &group_
                                                                    : nullptr;
        if (level == nullptr)
            return smb_.WNetOpenEnum(scope, type, usage, container, handle);
        *handle = &mine_[level];
        mine_[level] = 0;
        return NO_ERROR_;
    }
    DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                           DWORD* bufferSize) override
    {
        for (auto& [level, next] : mine_)
            if (handle == &next)
                return FillResourceBuffer(*level, next, count, buffer, bufferSize);
        return smb_.WNetEnumResource(handle, count, buffer, bufferSize);
    }
    DWORD WNetCloseEnum(EnumHandle handle) override
    {
        for (auto& level : mine_)
            if (handle == &level.second)
                return NO_ERROR_;
        return smb_.WNetCloseEnum(handle);
    }
    void ReadAhead(const NetResource* records, DWORD count) override
    {
        // Only the servers: the workgroup is this list's own.
        if (readAhead_ && count > 0 && records[0].dwDisplayType == RESOURCEDISPLAYTYPE_SERVER)
            smb_.ReadAhead(records, count);
    }

private:
    bool readAhead_;
    std::vector<ResourceEntry> top_, group_;
    std::map<const std::vector<ResourceEntry>*, size_t> mine_;
    SmbEnumerator smb_;
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
        QElapsedTimer timer;
        timer.start();
        dialog.Button1Click();
        QApplication::processEvents();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        found = dialog.FoundPrinters->count();
        std::printf("%.1f\t%d\n", ms, found);
        std::fflush(stdout);
        if (linesFile && run == runs - 1)
            WriteLines(*dialog.FoundPrinters, linesFile);
    }
    // Ends at once: the scans are what is measured, not Qt's teardown.
    std::_Exit(found > 0 ? 0 : 1);
}
