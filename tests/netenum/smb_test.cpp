// SmbEnumerator and the discovery dialog over a real database file, against test servers whose
// nmbd is the master browser of their workgroup, with 500 more printer shares than 16 KB hold.
// Scans from the top run inside the servers' network namespace (no other master browser).

#include "admin/wdConfig.h"
#include "platform/netenum/smbenumerator.h"
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

#include <cstring>

namespace
{

using Lines = std::vector<std::string>;
constexpr DWORD kAll = 0xFFFFFFFF;

std::string Get(const std::string& key)
{
    static const TestServers servers = TestServers::Load(WD_BROWSE_SERVERS_DIR "/env");
    return servers.Get(key);
}

NetResource Container(const std::string& remote, DWORD displayType = RESOURCEDISPLAYTYPE_SERVER)
{
    return {0,           0,
            displayType, RESOURCEUSAGE_CONTAINER,
            nullptr,     const_cast<char*>(remote.c_str()),
            nullptr,     nullptr};
}

// The records of an open level to its end. Every text must lie inside the buffer, after the
// records.
Lines Read(SmbEnumerator& net, EnumHandle handle)
{
    const DWORD size = 16384;
    std::vector<NetResource> buffer(size / sizeof(NetResource) + 1);
    const char* begin = reinterpret_cast<const char*>(buffer.data());
    Lines records;
    DWORD n = kAll, given = size, result = 0;
    for (; (result = net.WNetEnumResource(handle, &n, buffer.data(), &given)) == NO_ERROR_;
         n = kAll) {
        for (DWORD i = 0; i < n; ++i) {
            records.push_back(buffer[i].lpRemoteName);
            for (const char* text : {buffer[i].lpRemoteName, buffer[i].lpComment})
                EXPECT_TRUE(text >= begin + n * sizeof(NetResource) &&
                            text + std::strlen(text) < begin + size);
        }
    }
    EXPECT_TRUE(result == ERROR_NO_MORE_ITEMS && n == 0) << result;
    EXPECT_EQ(net.WNetCloseEnum(handle), NO_ERROR_);
    return records;
}

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
            forms = std::make_unique<TConfigForms>(util, nullptr);
            forms->dbform.SetConnection(false);
            forms->adminmainfrm.show();
        }
        gui.OnShow([&](QDialog&) {
            actions(forms->findprinterfrm);
            if (forms->findprinterfrm.isVisible())
                QTest::mouseClick(forms->findprinterfrm.Button3, Qt::LeftButton);
        });
        QTest::mouseClick(forms->adminmainfrm.findPrintersButton, Qt::LeftButton);
        EXPECT_FALSE(forms->findprinterfrm.isVisible());
    }
    // Clicks "Scan for Network Printers": the lines found, sorted.
    static Lines Scan(Tfindprinterfrm& dialog)
    {
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
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
    std::unique_ptr<TConfigForms> forms;
};

TEST(SmbEnumerator, WhatCannotBeListedGivesACodeFromTheOpening)
{
    const std::string host = "\\\\" + Get("SMB_HOST"), laser = host + "\\laser";
    const DWORD print = RESOURCETYPE_PRINT, server = RESOURCEDISPLAYTYPE_SERVER;
    std::vector<std::tuple<std::string, DWORD, DWORD, DWORD>> cases = {
        {laser, RESOURCEDISPLAYTYPE_SHARE, print, ERROR_NOT_CONTAINER},
        {laser, server, print, ERROR_NOT_CONTAINER}, // the name decides
        {"", server, print, ERROR_INVALID_PARAMETER},
        {host, server, 7, ERROR_INVALID_PARAMETER}, // no such type
        {"\\\\no-such-server.invalid", server, print, ERROR_BAD_NETPATH}};
    for (const char* key : {"SMB_DEAD_HOST", "SMB_TRICKLING_HOST", "SMB_ABSENT_HOST",
                            "SMB_SILENT_HOST", "SMB_REFUSING_HOST"})
        cases.emplace_back("\\\\" + Get(key), server, print, ERROR_BAD_NETPATH);
    // Read ahead, side by side, each opening still gives its own answer.
    for (const bool ahead : {false, true}) {
        SmbEnumerator net;
        std::vector<NetResource> records;
        for (const auto& [remote, displayType, type, code] : cases)
            records.push_back(Container(remote, displayType));
        records.push_back(Container(host));
        if (ahead)
            net.ReadAhead(records.data(), static_cast<DWORD>(records.size()));
        EnumHandle handle = nullptr;
        for (size_t i = 0; i < cases.size(); ++i)
            EXPECT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, std::get<2>(cases[i]), 0, &records[i],
                                       &handle),
                      std::get<3>(cases[i]))
                << std::get<0>(cases[i]) << (ahead ? " read ahead" : "");
        ASSERT_EQ(
            net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, &records.back(), &handle),
            NO_ERROR_);
        EXPECT_GT(Read(net, handle).size(), 500u);
    }
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a listing left a child behind";
    SmbEnumerator net;
    const NetResource container = Container(host);
    EXPECT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, print, 0, &container, nullptr),
              ERROR_INVALID_PARAMETER);
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
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
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
            ExpectTabCycle({dialog.Button1, dialog.FoundPrinters, dialog.Button2, dialog.Button3});
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
    SmbEnumerator net;
    EnumHandle handle = nullptr;
    EXPECT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, nullptr, &handle),
              ERROR_NO_NETWORK);
}
