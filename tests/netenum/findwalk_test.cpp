// The discovery dialog over a scripted network, for what a real one cannot give: levels that
// fail, a level that never ends until the scan is stopped, and names a share cannot hold.
// (Names too long to list whole: also the found-line fuzz target.)

#include "admin/wdConfig.h"
#include "tests/support/tempdir.h"

#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

namespace
{

using Lines = std::vector<std::string>;
const std::string kTop = "<top>";
constexpr int kLong = 60000; // ms: only a scan that hangs takes this long

Share Printer(const std::string& server, const std::string& name, const std::string& comment)
{
    return {server, name, comment, ShareKind::Printer};
}

// The network, scripted by levels named by their workgroup or server (kTop: the workgroups);
// asking for any other fails. The level named `hang` gives nothing until the walk is stopped.
class ScriptedNetwork : public ShareBrowser
{
public:
    std::vector<std::string> Workgroups(std::stop_token stop) override { return Names(kTop, stop); }
    std::vector<std::string> Servers(const std::string& workgroup, std::stop_token stop) override
    {
        return Names(workgroup, stop);
    }
    std::vector<Share> Shares(const std::string& server, std::stop_token stop) override
    {
        Ask(server, stop);
        if (!shares.contains(server))
            throw BrowseError(BrowseFault::Unreachable, server);
        return shares.at(server);
    }

    std::map<std::string, std::vector<std::string>> containers;
    std::map<std::string, std::vector<Share>> shares;
    std::string hang;
    std::atomic<bool> hanging = false;
    Lines asked; // read only between scans

private:
    void Ask(const std::string& name, std::stop_token stop)
    {
        asked.push_back(name);
        if (name != hang)
            return;
        hanging = true;
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any().wait(lock, stop, [] { return false; });
        throw BrowseError(BrowseFault::Stopped, name);
    }
    std::vector<std::string> Names(const std::string& level, std::stop_token stop)
    {
        Ask(level, stop);
        if (!containers.contains(level))
            throw BrowseError(BrowseFault::NoBrowseList, level);
        return containers.at(level);
    }
};

Lines ListLines(const Tfindprinterfrm& dialog)
{
    Lines lines;
    for (int i = 0; i < dialog.FoundPrinters->count(); ++i)
        lines.push_back(dialog.FoundPrinters->item(i)->text().toStdString());
    return lines;
}

// The administration program over a new database, its discovery dialog shown on its own.
class FindPrinters : public ::testing::Test
{
protected:
    std::unique_ptr<TConfigForms> MakeForms()
    {
        MakeDatabase(dir.Path());
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        auto made = std::make_unique<TConfigForms>(util, std::unique_ptr<ShareBrowser>(net));
        made->dbform.SetConnection(false);
        return made;
    }
    Lines Scan()
    {
        dialog.show();
        QTest::mouseClick(dialog.scanButton, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !dialog.Scanning(); }, kLong));
        EXPECT_FALSE(dialog.progress->isVisible()) << "the bar goes when the scan ends";
        return ListLines(dialog);
    }
    std::string Stored(const std::string& sql) { return QueryValue(dir.File("wddata.mdb"), sql); }

    TempDir dir;
    ScriptedNetwork* net = new ScriptedNetwork; // the dialog's
    std::unique_ptr<TConfigForms> forms = MakeForms();
    Tfindprinterfrm& dialog = forms->findprinterfrm;
};

} // namespace

TEST_F(FindPrinters, LinesComeDepthFirstAFailingLevelIsLeftOutAndSharesAreAddedAsFound)
{
    const std::string longName(300, 'x'); // "\\S3\" and 250 of them are kept
    net->containers = {{kTop, {"G1", "G2", "G3"}}, {"G1", {"S1", "S2", "S3"}}, {"G2", {"S4"}}};
    net->shares["S1"] = {
        Printer("S1", "a", "A"), {"S1", "files", "disk", ShareKind::Disk}, Printer("S1", "b", "")};
    net->shares["S3"] = {Printer("S3", "c[1]", ""), Printer("S3", longName, "long")};
    net->shares["S4"] = {Printer("S4", "d", "[x] y")};
    const std::string cut = "\\\\S3\\" + longName.substr(0, 250);
    EXPECT_EQ(Scan(), (Lines{"\\\\S1\\a[A]", "\\\\S1\\b[]", "\\\\S3\\c[1][]", cut + "[long]",
                             "\\\\S4\\d[[x] y]"}));
    EXPECT_EQ(net->asked, (Lines{kTop, "G1", "S1", "S2", "S3", "G2", "S4", "G3"}));

    for (int i = 0; i < dialog.FoundPrinters->count(); ++i)
        dialog.FoundPrinters->item(i)->setCheckState(Qt::Checked);
    QTest::mouseClick(dialog.addButton, Qt::LeftButton);
    EXPECT_EQ(Stored("select count(*) from printers"), "6") << "None and the five";
    EXPECT_EQ(Stored("select Description from printers where UNCNAME = '\\\\S3\\c[1]'"), "");
    EXPECT_EQ(Stored("select UNCNAME from printers where Description = 'long'"), cut);
    EXPECT_EQ(Stored("select Description from printers where UNCNAME = '\\\\S4\\d'"), "[x] y");

    net->containers.clear();
    EXPECT_EQ(Scan(), Lines{}) << "the top cannot be read: a new scan finds nothing";
}

TEST_F(FindPrinters, WhileAScanWaitsTheWindowShowsItsFindingsAndStopEndsItKeepingThem)
{
    // The window's own thread stays free: lines and steps arrive, and Stop is taken, while
    // the walk waits for a level that never comes. Ten steps per record of every level.
    for (const auto& [records, value] : {std::pair{4, 40}, {50, 500}, {51, 0}, {53, 20}}) {
        net->containers = {{kTop, {"G"}}, {"G", {"S"}}}; // G, S, S's printer
        net->shares["S"] = {Printer("S", "p", "P")};
        for (int i = 0; i < records - 4; ++i) // they fail to open
            net->containers[kTop].push_back("F" + std::to_string(i));
        net->hang = "H";
        net->containers[kTop].push_back(net->hang);
        net->hanging = false;
        dialog.show();
        QTest::mouseClick(dialog.scanButton, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return net->hanging.load(); }, kLong));
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(dialog.progress->value(), value) << records << " records";
        EXPECT_TRUE(dialog.progress->isVisible());
        EXPECT_EQ(dialog.scanButton->text(), "Stop");
        EXPECT_EQ(ListLines(dialog), Lines{"\\\\S\\p[P]"});

        QTest::mouseClick(dialog.scanButton, Qt::LeftButton);
        EXPECT_FALSE(dialog.Scanning());
        EXPECT_FALSE(dialog.progress->isVisible());
        EXPECT_EQ(dialog.scanButton->text(), "Scan for Network Printers");
        EXPECT_EQ(ListLines(dialog), Lines{"\\\\S\\p[P]"});
    }
}
