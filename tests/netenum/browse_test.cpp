// Scans from the top of the network, as seen from the network namespace of servers whose
// nmbd is the master browser of their workgroup (started with --browse, and with 500 extra
// printer shares), and from a namespace with no network at all. libsmbclient takes the
// master browsers of only one subnet, so the host's own view depends on which other test
// servers happen to run.

#include "platform/netenum/smbenumerator.h"
#include "tests/netenum/finddialogtest.h"
#include "tests/support/testservers.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <map>

namespace
{

// The records of one level by remote name (their texts cleared), with their comments.
std::map<std::string, std::pair<NetResource, std::string>>
ListLevel(NetworkEnumerator& net, const NetResource* container, DWORD& result)
{
    std::map<std::string, std::pair<NetResource, std::string>> records;
    EnumHandle handle = nullptr;
    result = net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, container, &handle);
    if (result != NO_ERROR_)
        return records;
    std::vector<NetResource> buffer(16384 / sizeof(NetResource));
    DWORD count = 0xFFFFFFFF;
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(NetResource));
    while ((result = net.WNetEnumResource(handle, &count, buffer.data(), &size)) == NO_ERROR_) {
        for (DWORD i = 0; i < count; ++i) {
            NetResource r = buffer[i];
            const std::string comment = r.lpComment ? r.lpComment : "<null>";
            const std::string name = r.lpRemoteName;
            r.lpRemoteName = r.lpComment = r.lpProvider = r.lpLocalName = nullptr;
            records[name] = {r, comment};
        }
        count = 0xFFFFFFFF;
    }
    net.WNetCloseEnum(handle);
    return records;
}

NetResource Container(std::string& name, DWORD displayType)
{
    NetResource r{};
    r.dwDisplayType = displayType;
    r.dwUsage = RESOURCEUSAGE_CONTAINER;
    r.lpRemoteName = name.data();
    return r;
}

class BrowseTest : public FindDialogTest
{
protected:
    // Whether this is the run inside the namespace; outside, runs this test again in the
    // namespace that `enter` (a command taking the command to run) enters, and checks it.
    bool RunInside(const QStringList& enter)
    {
        if (!qEnvironmentVariableIsEmpty("WD_INSIDE_NAMESPACE"))
            return true;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WD_INSIDE_NAMESPACE", "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments = enter.mid(1);
        arguments << QCoreApplication::applicationFilePath()
                  << QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name());
        child.start(enter.first(), arguments);
        EXPECT_TRUE(child.waitForFinished(300000));
        const std::string output = child.readAll().toStdString();
        EXPECT_EQ(child.exitCode(), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return false;
    }
    QStringList InServersNamespace() const
    {
        return {"ip", "netns", "exec", QString::fromStdString(servers.Get("SMB_NETNS"))};
    }

    TestServers servers = TestServers::Load(WD_BROWSE_SERVERS_DIR "/env");
    std::string netbiosName = servers.Get("SMB_NETBIOS_NAME");
};

} // namespace

TEST_F(BrowseTest, TheTopListsTheWorkgroupAndTheWorkgroupItsServer)
{
    if (!RunInside(InServersNamespace()))
        return;
    SmbEnumerator net;
    DWORD result = 0;
    auto top = ListLevel(net, nullptr, result);
    EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
    std::string workgroup = servers.Get("SMB_WORKGROUP");
    ASSERT_EQ(top.size(), 1u);
    ASSERT_EQ(top.count(workgroup), 1u);
    const NetResource& group = top[workgroup].first;
    EXPECT_EQ(group.dwDisplayType, RESOURCEDISPLAYTYPE_DOMAIN);
    EXPECT_EQ(group.dwType, RESOURCETYPE_ANY);
    EXPECT_EQ(group.dwUsage, RESOURCEUSAGE_CONTAINER);

    NetResource container = Container(workgroup, RESOURCEDISPLAYTYPE_DOMAIN);
    auto members = ListLevel(net, &container, result);
    const std::string server = "\\\\" + netbiosName;
    ASSERT_EQ(members.size(), 1u);
    ASSERT_EQ(members.count(server), 1u);
    EXPECT_EQ(members[server].first.dwDisplayType, RESOURCEDISPLAYTYPE_SERVER);
    EXPECT_EQ(members[server].first.dwUsage, RESOURCEUSAGE_CONTAINER);
    EXPECT_EQ(members[server].second, "Test print server");
}

TEST_F(BrowseTest, AScanFromTheTopFindsEveryPrinterShareOfTheServer)
{
    if (!RunInside(InServersNamespace()))
        return;
    Open(nullptr);
    InDialog([this](Tfindprinterfrm& dialog) {
        ExpectPrinters(ByPath(Scan(dialog)), ExpectedPrinters(servers, netbiosName));
    });
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(BrowseTest, AServerWith500PrinterSharesListsThemAll)
{
    ASSERT_EQ(servers.Get("SMB_BULK_COUNT"), "500");
    SmbEnumerator net;
    std::string name = "\\\\" + servers.Get("SMB_HOST");
    const NetResource server = Container(name, RESOURCEDISPLAYTYPE_SERVER);
    QListWidget list;
    EnumerateNetworkPrinters(net, &server, &list, nullptr);
    EXPECT_EQ(list.count(), 504);
    ExpectPrinters(ByPath(ListLines(list)), ExpectedPrinters(servers, servers.Get("SMB_HOST")));
}

TEST_F(BrowseTest, WithoutABrowseListAScanFromTheTopFindsNothingAndSaysNothing)
{
    // Only the loopback interface: no master browser to ask.
    if (!RunInside({"unshare", "--net", "sh", "-c", "ip link set lo up && exec \"$@\"", "sh"}))
        return;
    Open(nullptr);
    InDialog([this](Tfindprinterfrm& dialog) { EXPECT_TRUE(Scan(dialog).empty()); });
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(BrowseTest, WithNoInterfaceUpAScanFindsNothingAndTheProgramGoesOn)
{
    if (!RunInside({"unshare", "--net"}))
        return;
    Open(nullptr);
    InDialog([this](Tfindprinterfrm& dialog) { EXPECT_TRUE(Scan(dialog).empty()); });
    EXPECT_TRUE(gui.messages.empty());
    SmbEnumerator net;
    EnumHandle handle = nullptr;
    EXPECT_EQ(net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, nullptr, &handle),
              ERROR_NO_NETWORK);
    std::string name = "\\\\192.0.2.1";
    const NetResource server = Container(name, RESOURCEDISPLAYTYPE_SERVER);
    EXPECT_NE(net.WNetOpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_PRINT, 0, &server, &handle),
              NO_ERROR_);
}
