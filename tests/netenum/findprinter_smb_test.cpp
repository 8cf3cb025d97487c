// The discovery walk and dialog against the private smbd of scripts/testservers, over a real
// database file.

#include "platform/netenum/resourcebuffer.h"
#include "platform/netenum/smbenumerator.h"
#include "tests/netenum/finddialogtest.h"
#include "tests/support/testservers.h"

#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace
{

// The real back end with one server standing for the top of the network: a scan from the
// top needs a browse list (see browse_test.cpp).
class ServerAsTop : public NetworkEnumerator
{
public:
    explicit ServerAsTop(const std::string& server) : name_("\\\\" + server)
    {
        top_.dwScope = RESOURCE_GLOBALNET;
        top_.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
        top_.dwUsage = RESOURCEUSAGE_CONTAINER;
        top_.lpRemoteName = name_.data();
    }
    DWORD WNetOpenEnum(DWORD scope, DWORD type, DWORD usage, const NetResource* container,
                       EnumHandle* handle) override
    {
        return real_.WNetOpenEnum(scope, type, usage, container ? container : &top_, handle);
    }
    DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                           DWORD* bufferSize) override
    {
        return real_.WNetEnumResource(handle, count, buffer, bufferSize);
    }
    DWORD WNetCloseEnum(EnumHandle handle) override { return real_.WNetCloseEnum(handle); }

private:
    std::string name_;
    NetResource top_{};
    SmbEnumerator real_;
};

// The real back end under a top of the network that lists these servers.
class ServersAsTop : public NetworkEnumerator
{
public:
    explicit ServersAsTop(const std::vector<std::string>& servers)
    {
        for (const std::string& server : servers) {
            ResourceEntry entry;
            entry.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
            entry.dwUsage = RESOURCEUSAGE_CONTAINER;
            entry.remoteName = "\\\\" + server;
            top_.push_back(entry);
        }
    }
    DWORD WNetOpenEnum(DWORD scope, DWORD type, DWORD usage, const NetResource* container,
                       EnumHandle* handle) override
    {
        if (container)
            return real_.WNetOpenEnum(scope, type, usage, container, handle);
        next_ = 0;
        *handle = &top_;
        return NO_ERROR_;
    }
    DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                           DWORD* bufferSize) override
    {
        if (handle == &top_)
            return FillResourceBuffer(top_, next_, count, buffer, bufferSize);
        return real_.WNetEnumResource(handle, count, buffer, bufferSize);
    }
    DWORD WNetCloseEnum(EnumHandle handle) override
    {
        return handle == &top_ ? NO_ERROR_ : real_.WNetCloseEnum(handle);
    }

private:
    std::vector<ResourceEntry> top_;
    size_t next_ = 0;
    SmbEnumerator real_;
};

class FindPrinterSmbTest : public FindDialogTest
{
protected:
    void SetUp() override { Open(std::make_unique<ServerAsTop>(host), sql); }

    std::string Path(const char* shareKey) const
    {
        return "\\\\" + host + "\\" + servers.Get(shareKey);
    }
    std::string DescriptionOf(const char* shareKey)
    {
        return Stored("select Description from printers where UNCNAME = '" + Path(shareKey) + "'");
    }

    TestServers servers = TestServers::Load();
    std::string host = servers.Get("SMB_HOST");
    std::string sql; // for the database, set before SetUp
};

// The database refuses new printers other than the seeded "None".
class RefusingDatabaseTest : public FindPrinterSmbTest
{
protected:
    RefusingDatabaseTest()
    {
        sql = "CREATE TRIGGER refuse BEFORE INSERT ON printers WHEN NEW.UNCNAME <> 'None' "
              "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END;";
    }
};

} // namespace

TEST_F(FindPrinterSmbTest, WalkingAServerListsExactlyItsPrinterShares)
{
    SmbEnumerator net;
    std::string name = "\\\\" + host;
    NetResource server{};
    server.dwDisplayType = RESOURCEDISPLAYTYPE_SERVER;
    server.dwUsage = RESOURCEUSAGE_CONTAINER;
    server.lpRemoteName = name.data();
    QListWidget list;
    EnumerateNetworkPrinters(net, &server, &list, nullptr);

    ExpectPrinters(ByPath(ListLines(list)), ExpectedPrinters(servers, host));
}

TEST_F(FindPrinterSmbTest, TickedPrintersAreStoredOnceSplitAtTheFirstBracket)
{
    const std::string before = Stored("select count(*) from printers");
    std::map<std::string, std::string> found;
    auto addThree = [&] {
        InDialog([&](Tfindprinterfrm& dialog) {
            found = ByPath(Scan(dialog));
            ExpectPrinters(found, ExpectedPrinters(servers, host));
            Tick(dialog, Path("SMB_SHARE_LASER"));
            Tick(dialog, Path("SMB_SHARE_BRACKETS"));
            Tick(dialog, Path("SMB_SHARE_ODD"));
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        });
    };
    addThree();
    EXPECT_EQ(DescriptionOf("SMB_SHARE_LASER"), servers.Get("SMB_COMMENT_LASER"));
    EXPECT_EQ(DescriptionOf("SMB_SHARE_BRACKETS"), servers.Get("SMB_COMMENT_BRACKETS"));
    EXPECT_EQ(DescriptionOf("SMB_SHARE_ODD"), found[Path("SMB_SHARE_ODD")])
        << "a UTF-8 name is stored as found";
    EXPECT_EQ(DescriptionOf("SMB_SHARE_PLAIN"), "<no row>") << "not ticked";
    const std::string after = Stored("select count(*) from printers");
    EXPECT_EQ(std::stoi(after), std::stoi(before) + 3);
    EXPECT_EQ(forms->dbform.printerstable.RecordCount(), std::stoi(after));

    addThree();
    EXPECT_EQ(Stored("select count(*) from printers"), after) << "already there: ignored";
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(FindPrinterSmbTest, TabReachesEveryControlAndSpaceTicksAndAdds)
{
    std::string first;
    InDialog([&](Tfindprinterfrm& dialog) {
        Scan(dialog);
        ExpectTabCycle({dialog.Button1, dialog.FoundPrinters, dialog.Button2, dialog.Button3});
        first = dialog.FoundPrinters->item(0)->text().section('[', 0, 0).toStdString();
        dialog.FoundPrinters->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog.FoundPrinters, Qt::Key_Home);
        QTest::keyClick(dialog.FoundPrinters, Qt::Key_Space);
        QTest::keyClick(dialog.FoundPrinters, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    });
    EXPECT_TRUE(forms->dbform.printerstable.Locate("UNCNAME", first)) << first;
    EXPECT_EQ(forms->dbform.printerstable.RecordCount(), 2) << "the first line and None";
}

TEST_F(FindPrinterSmbTest, WithNothingTickedNothingIsAdded)
{
    const std::string before = Stored("select count(*) from printers");
    InDialog([this](Tfindprinterfrm& dialog) {
        EXPECT_FALSE(Scan(dialog).empty());
        QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible()) << "Add closes the dialog";
    });
    EXPECT_EQ(Stored("select count(*) from printers"), before);
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(FindPrinterSmbTest, APrinterAnotherProgramAddedMeanwhileIsIgnored)
{
    InDialog([this](Tfindprinterfrm& dialog) {
        Scan(dialog);
        ExecSql(dir.File("wddata.mdb"), "INSERT INTO printers (UNCNAME, Description) VALUES ('" +
                                            Path("SMB_SHARE_LASER") + "', 'typed in elsewhere')");
        Tick(dialog, Path("SMB_SHARE_LASER"));
        Tick(dialog, Path("SMB_SHARE_PLAIN"));
        QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(gui.messages.empty());
    EXPECT_EQ(DescriptionOf("SMB_SHARE_LASER"), "typed in elsewhere");
    EXPECT_EQ(DescriptionOf("SMB_SHARE_PLAIN"), "");
}

TEST_F(RefusingDatabaseTest, RefusedPrintersAreReportedOnceAndTheOthersStillTried)
{
    const std::string before = Stored("select count(*) from printers");
    InDialog([this](Tfindprinterfrm& dialog) {
        Scan(dialog);
        Tick(dialog, Path("SMB_SHARE_LASER"));
        Tick(dialog, Path("SMB_SHARE_PLAIN"));
        QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text.toStdString(), "2 of the ticked printers could not be added.");
    EXPECT_TRUE(gui.messages[0].details.contains("refused by the test"))
        << gui.messages[0].details.toStdString();
    EXPECT_EQ(Stored("select count(*) from printers"), before);
}

// Print servers whose smbd has stopped (connections are refused, as by the refusing test host)
// or hangs (silent, or answering a byte at a time). The scan goes on past each at its
// deadline and keeps what the others gave, without a message.
class StoppedServerTest : public FindDialogTest
{
protected:
    TestServers servers = TestServers::Load();
};

TEST_F(StoppedServerTest, TheScanKeepsWhatItFoundAndSaysNothing)
{
    Open(std::make_unique<ServersAsTop>(
        std::vector<std::string>{servers.Get("SMB_REFUSING_HOST"), servers.Get("SMB_DEAD_HOST"),
                                 servers.Get("SMB_TRICKLING_HOST"), servers.Get("SMB_HOST")}));
    InDialog([this](Tfindprinterfrm& dialog) {
        ExpectPrinters(ByPath(Scan(dialog)), ExpectedPrinters(servers, servers.Get("SMB_HOST")));
        EXPECT_FALSE(dialog.progress->isVisible());
        dialog.close();
    });
    EXPECT_TRUE(gui.messages.empty());
}
