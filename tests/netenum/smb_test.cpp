// SmbShareBrowser and the discovery dialog over a real database file, against test servers
// whose nmbd is the master browser of their workgroup, with 500 more printer shares. Scans
// from the top run inside the servers' network namespace (no other master browser).

#include "admin/wdConfig.h"
#include "platform/netenum/smbsharebrowser.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace
{

using Lines = std::vector<std::string>;
constexpr int kLong = 60000; // ms: only a scan that hangs takes this long

std::string Get(const std::string& key)
{
    static const TestServers servers = TestServers::Load(WD_BROWSE_SERVERS_DIR "/env");
    return servers.Get(key);
}

// The fault a level gives; none when it was read.
std::optional<BrowseFault> FaultOf(const std::function<void()>& level)
{
    try {
        level();
        return std::nullopt;
    } catch (const BrowseError& e) {
        return e.Fault();
    }
}

// One workgroup holding the servers given; each server's shares are read from the server.
class GivenServers : public ShareBrowser
{
public:
    GivenServers(Lines servers, std::chrono::milliseconds perServer)
        : servers_(std::move(servers)), smb_(perServer)
    {
    }
    Lines Workgroups(std::stop_token) override { return {"GROUP"}; }
    Lines Servers(const std::string&, std::stop_token) override { return servers_; }
    std::vector<Share> Shares(const std::string& server, std::stop_token stop) override
    {
        return smb_.Shares(server, stop);
    }
    void ReadSharesAhead(const Lines& servers) override { smb_.ReadSharesAhead(servers); }

private:
    Lines servers_;
    SmbShareBrowser smb_;
};

// Outside: runs this test again inside the namespace that `enter` (a command taking the
// command to run) enters, and checks that it passed. Inside: true.
bool Inside(const QStringList& enter)
{
    if (!qEnvironmentVariableIsEmpty("WD_INSIDE_NAMESPACE"))
        return true;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WD_INSIDE_NAMESPACE", "1");
    child.setProcessEnvironment(env);
    child.start(
        enter.first(),
        enter.mid(1) << QCoreApplication::applicationFilePath()
                     << QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name()));
    child.waitForFinished(-1); // the test's TIMEOUT guards it
    const std::string output = child.readAllStandardOutput().toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    return false;
}

} // namespace

// The administration program over a new database, its discovery dialog walking the network
// from its top.
class FindPrinterDialog : public ::testing::Test
{
protected:
    // Opens the dialog from the main window (over a new database, with `sql` run on it first)
    // and runs `actions` while it is up.
    void InDialog(const std::function<void(Tfindprinterfrm&)>& actions, const std::string& sql = "")
    {
        if (!forms) {
            MakeDatabase(dir.Path(), sql);
            TBrevUtil util({"wdConfig"});
            util.SetStartDir(dir.Path());
            forms = std::make_unique<TConfigForms>(util, std::move(net));
            forms->dbform.SetConnection(false);
            forms->adminmainfrm.show();
        }
        gui.OnShow([&](QDialog&) {
            actions(forms->findprinterfrm);
            if (forms->findprinterfrm.isVisible())
                QTest::mouseClick(forms->findprinterfrm.cancelButton, Qt::LeftButton);
        });
        QTest::mouseClick(forms->adminmainfrm.findPrintersButton, Qt::LeftButton);
        EXPECT_FALSE(forms->findprinterfrm.isVisible());
    }
    // Clicks "Scan for Network Printers": the lines found, sorted.
    static Lines Scan(Tfindprinterfrm& dialog)
    {
        QTest::mouseClick(dialog.scanButton, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Scanning(); }, kLong));
        EXPECT_FALSE(dialog.progress->isVisible()) << "the bar goes when the scan ends";
        Lines lines;
        for (int i = 0; i < dialog.FoundPrinters->count(); ++i)
            lines.push_back(dialog.FoundPrinters->item(i)->text().toStdString());
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    static std::string Path(const std::string& s)
    {
        return "\\\\" + Get("SMB_NETBIOS_NAME") + "\\" + s;
    }
    std::string Stored(const std::string& sql) { return QueryValue(dir.File("wddata.mdb"), sql); }

    TempDir dir;
    GuiDriver gui;
    std::unique_ptr<ShareBrowser> net; // the OS's own when null
    std::unique_ptr<TConfigForms> forms;
};

TEST(SmbShareBrowser, AServerThatCannotBeListedGivesItsFaultAndTheOthersTheirShares)
{
    const std::string host = Get("SMB_HOST");
    std::vector<std::pair<std::string, BrowseFault>> cases = {
        {host + "\\laser", BrowseFault::BadName},
        {"", BrowseFault::BadName},
        {"no-such-server.invalid", BrowseFault::Unreachable}};
    for (const char* key : {"SMB_DEAD_HOST", "SMB_TRICKLING_HOST", "SMB_ABSENT_HOST",
                            "SMB_SILENT_HOST", "SMB_REFUSING_HOST"})
        cases.emplace_back(Get(key), BrowseFault::Unreachable);
    // Read ahead, side by side, each server still gives its own answer.
    for (const bool ahead : {false, true}) {
        SmbShareBrowser net;
        Lines servers;
        for (const auto& [server, fault] : cases)
            servers.push_back(server);
        servers.push_back(host);
        if (ahead)
            net.ReadSharesAhead(servers);
        for (const auto& [server, fault] : cases)
            EXPECT_EQ(FaultOf([&] { net.Shares(server, {}); }), fault)
                << server << (ahead ? " read ahead" : "");
        const std::vector<Share> shares = net.Shares(host, {});
        EXPECT_GT(shares.size(), 500u);
        auto named = [&shares](const std::string& name) {
            return std::find_if(shares.begin(), shares.end(),
                                [&name](const Share& s) { return s.name == name; });
        };
        ASSERT_NE(named(Get("SMB_SHARE_DISK")), shares.end());
        EXPECT_EQ(named(Get("SMB_SHARE_DISK"))->kind, ShareKind::Disk);
        ASSERT_NE(named(Get("SMB_SHARE_LASER")), shares.end());
        EXPECT_EQ(named(Get("SMB_SHARE_LASER"))->kind, ShareKind::Printer);
        EXPECT_EQ(named(Get("SMB_SHARE_LASER"))->comment, Get("SMB_COMMENT_LASER"));
        EXPECT_EQ(named(Get("SMB_SHARE_LASER"))->server, host);
        EXPECT_EQ(named("IPC$"), shares.end()) << "hidden";
    }
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a listing left a child behind";
}

TEST_F(FindPrinterDialog, TickedPrintersFromAScanOfTheTopAreAddedOnceWithTheirComments)
{
    if (!Inside({"ip", "netns", "exec", QString::fromStdString(Get("SMB_NETNS"))}))
        return;
    Lines expected = {Path(Get("SMB_SHARE_LASER")) + "[" + Get("SMB_COMMENT_LASER") + "]",
                      Path(Get("SMB_SHARE_PLAIN")) + "[]",
                      Path(Get("SMB_SHARE_BRACKETS")) + "[" + Get("SMB_COMMENT_BRACKETS") + "]",
                      Path(Get("SMB_SHARE_ODD")) + "[Printer whose name needs encoding]"};
    for (int i = 1; i <= std::stoi(Get("SMB_BULK_COUNT")); ++i) {
        char share[16];
        std::snprintf(share, sizeof share, "bulk%04d", i);
        expected.push_back(Path(share) + "[Bulk printer " + std::to_string(i) + "]");
    }
    std::sort(expected.begin(), expected.end());
    const std::string count = "select count(*) from printers"; // None, and those added
    auto description = [this](const char* key) {
        return Stored("select Description from printers where UNCNAME = '" + Path(Get(key)) + "'");
    };
    auto add = [&](const std::vector<const char*>& keys, const std::string& meanwhile) {
        InDialog([&](Tfindprinterfrm& dialog) {
            EXPECT_EQ(Scan(dialog), expected);
            ExecSql(dir.File("wddata.mdb"), meanwhile);
            for (const char* key : keys)
                for (QListWidgetItem* item : dialog.FoundPrinters->findItems(
                         QString::fromStdString(Path(Get(key)) + "["), Qt::MatchStartsWith))
                    item->setCheckState(Qt::Checked);
            QTest::mouseClick(dialog.addButton, Qt::LeftButton);
            EXPECT_FALSE(dialog.isVisible()) << "Add closes the dialog";
        });
    };
    // Another program adds one of them meanwhile.
    add({"SMB_SHARE_LASER", "SMB_SHARE_BRACKETS", "SMB_SHARE_ODD"},
        "INSERT INTO printers (UNCNAME, Description) VALUES ('" + Path(Get("SMB_SHARE_LASER")) +
            "', 'typed in elsewhere')");
    EXPECT_EQ(description("SMB_SHARE_LASER"), "typed in elsewhere") << "already there: ignored";
    EXPECT_EQ(description("SMB_SHARE_BRACKETS"), Get("SMB_COMMENT_BRACKETS")) << "[...] inside";
    EXPECT_EQ(description("SMB_SHARE_ODD"), "Printer whose name needs encoding") << "UTF-8 path";
    EXPECT_EQ(description("SMB_SHARE_PLAIN"), "<no row>") << "not ticked";
    EXPECT_EQ(Stored(count), "4");

    add({"SMB_SHARE_LASER", "SMB_SHARE_BRACKETS", "SMB_SHARE_ODD", "SMB_SHARE_PLAIN"}, "");
    EXPECT_EQ(description("SMB_SHARE_PLAIN"), "");
    EXPECT_EQ(Stored(count), "5");
    EXPECT_EQ(forms->dbform.printerstable.RecordCount(), 5);
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(FindPrinterDialog, KeysTickAndAddAndPrintersTheDatabaseRefusesAreReportedOnce)
{
    if (!Inside({"ip", "netns", "exec", QString::fromStdString(Get("SMB_NETNS"))}))
        return;
    InDialog(
        [](Tfindprinterfrm& dialog) {
            Scan(dialog);
            ExpectTabCycle(
                {dialog.scanButton, dialog.FoundPrinters, dialog.addButton, dialog.cancelButton});
            dialog.FoundPrinters->setFocus(Qt::TabFocusReason);
            for (Qt::Key key : {Qt::Key_Home, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space})
                QTest::keyClick(dialog.FoundPrinters, key);
            QTest::keyClick(dialog.FoundPrinters, Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            EXPECT_FALSE(dialog.isVisible()) << "Add was pressed";
        },
        "CREATE TRIGGER refuse BEFORE INSERT ON printers WHEN NEW.UNCNAME <> 'None' "
        "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END;");
    // Both were tried; the message tells how many failed, and why the first did.
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text.toStdString(), "2 of the ticked printers could not be added.");
    EXPECT_TRUE(gui.messages[0].details.contains("refused by the test"));
    EXPECT_EQ(Stored("select count(*) from printers"), "1") << "None";
}

TEST_F(FindPrinterDialog, WithNoInterfaceUpAScanFindsNothingAndTheProgramGoesOn)
{
    if (!Inside({"unshare", "--net"}))
        return;
    InDialog([](Tfindprinterfrm& dialog) { EXPECT_EQ(Scan(dialog), Lines{}); });
    EXPECT_TRUE(gui.messages.empty());
    SmbShareBrowser net;
    EXPECT_EQ(FaultOf([&net] { net.Workgroups({}); }), BrowseFault::NoNetwork);
}

TEST_F(FindPrinterDialog, StopAndCancelEndAScanWaitingForAServerThatNeverAnswers)
{
    // The silent server is given an hour: a scan that could not be stopped would hang.
    net = std::make_unique<GivenServers>(Lines{Get("SMB_HOST"), Get("SMB_SILENT_HOST")},
                                         std::chrono::hours(1));
    const int found = std::stoi(Get("SMB_BULK_COUNT")) + 4;
    InDialog([found](Tfindprinterfrm& dialog) {
        for (QPushButton* button : {dialog.scanButton, dialog.cancelButton}) {
            QTest::mouseClick(dialog.scanButton, Qt::LeftButton);
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return dialog.FoundPrinters->count() == found; }, kLong))
                << "the lines arrive while the silent server is waited for";
            EXPECT_TRUE(dialog.Scanning());
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_FALSE(dialog.Scanning());
            EXPECT_EQ(dialog.FoundPrinters->count(), found) << "the lines found stay";
            EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a listing left a child behind";
        }
        EXPECT_FALSE(dialog.isVisible()) << "Cancel closed the dialog";
    });
}
