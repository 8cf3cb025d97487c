#include "platform/print/cupsprintsystem.h"
#include "tests/support/asuser.h"
#include "tests/support/printstate.h"
#include "tests/support/testservers.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>

// Against the private cupsd and smbd of scripts/testservers. Every test starts with no queues
// and no lpoptions.

namespace
{

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PrintError& e) {
        return e.what();
    }
    return "(no error)";
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

class printCups : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        servers_ = std::make_unique<TestServers>(TestServers::Load());
        servers_->Export();
    }

    void SetUp() override
    {
        ResetPrintServer(*servers_);
        for (const auto& printed : std::filesystem::directory_iterator(Env("SMB_PRINTED_DIR")))
            std::filesystem::remove(printed.path());
    }

    static std::string Env(const std::string& key) { return servers_->Get(key); }
    // Where libcups 2.4 keeps the user's default, root's too (older versions used
    // CUPS_SERVERROOT for root).
    static std::string UserOptionsFile() { return ::UserOptionsFile(*servers_); }
    static std::string Unc(const std::string& shareKey) { return servers_->Unc(Env(shareKey)); }

    static std::string DeviceUriOf(const std::string& queue)
    {
        return QueueOptions(queue)["device-uri"];
    }

    static inline std::unique_ptr<TestServers> servers_;
    CupsPrintSystem printers_;
};

TEST_F(printCups, ConnectCreatesRawQueueForTheShare)
{
    printers_.Connect(Unc("SMB_SHARE_LASER"));

    const std::vector<std::string> queues = QueueNames();
    ASSERT_EQ(queues.size(), 1u);
    auto options = QueueOptions(queues[0]);
    EXPECT_EQ(options["device-uri"], "smb://" + Env("SMB_HOST") + "/" + Env("SMB_SHARE_LASER"));
    EXPECT_EQ(options["printer-info"], Unc("SMB_SHARE_LASER"));
    EXPECT_EQ(options["printer-is-accepting-jobs"], "true");
    EXPECT_EQ(options["printer-state"], "3"); // idle, i.e. enabled
    EXPECT_EQ(options["printer-make-and-model"], "Local Raw Printer");
    EXPECT_EQ(options["printer-location"], std::string("wdclient for ") + cupsUser());
}

TEST_F(printCups, EveryKindOfPrinterShareConnects)
{
    // Shares with a comment, without one, with brackets in it, and with blanks, '#' and
    // non-ASCII letters in the share name itself.
    for (const char* key :
         {"SMB_SHARE_LASER", "SMB_SHARE_PLAIN", "SMB_SHARE_BRACKETS", "SMB_SHARE_ODD"})
        EXPECT_NO_THROW(printers_.Connect(Unc(key))) << key;

    std::vector<std::string> listed = printers_.InstalledPrinters();
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = {Unc("SMB_SHARE_LASER"), Unc("SMB_SHARE_PLAIN"),
                                         Unc("SMB_SHARE_BRACKETS"), Unc("SMB_SHARE_ODD")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

TEST_F(printCups, AServerKnownOnlyByItsNetBiosNameConnects)
{
    // No DNS or hosts entry has this name: libsmbclient finds it by broadcast.
    const std::string path = "\\\\" + Env("SMB_NETBIOS_NAME") + "\\" + Env("SMB_SHARE_LASER");
    printers_.Connect(path);
    EXPECT_EQ(printers_.InstalledPrinters(), std::vector<std::string>{path});
}

TEST_F(printCups, AJobPrintedToAConnectionReachesTheShare)
{
    // Through CUPS's own smb backend, to the share whose name had to be encoded in the URI.
    printers_.Connect(Unc("SMB_SHARE_ODD")); // \\host\Büro Drucker #2
    const std::string queue = QueueNames().at(0);
    EXPECT_EQ(DeviceUriOf(queue), "smb://" + Env("SMB_HOST") + "/B%C3%BCro%20Drucker%20%232");
    const std::string job = "A page for " + Env("SMB_SHARE_ODD") + "\n";
    const std::string file = Env("TESTSERVERS_DIR") + "/job.txt";
    std::ofstream(file) << job;
    const ToolResult lp = RunTool("lp", {"-d", queue, file});
    ASSERT_EQ(lp.exitCode, 0) << lp.err;

    // smbd moves what it receives to the printed folder; wait generously for it.
    std::string received;
    for (int i = 0; i < 600 && received.empty(); ++i) {
        for (const auto& printed : std::filesystem::directory_iterator(Env("SMB_PRINTED_DIR")))
            received = FileText(printed.path());
        if (received.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(received, job);
}

TEST_F(printCups, ConnectingAgainKeepsOneQueue)
{
    const std::string path = Unc("SMB_SHARE_LASER");
    printers_.Connect(path);
    ASSERT_EQ(RunTool("lpadmin", {"-p", QueueNames().at(0), "-D", "By hand"}).exitCode, 0);
    printers_.Connect(path);
    EXPECT_EQ(QueueNames().size(), 1u);
    EXPECT_EQ(QueueOptions(QueueNames()[0])["printer-info"], "By hand")
        << "a queue as it should be is not changed";

    // The same printer spelled in other letter case is still the same connection.
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    printers_.Connect(upper);
    EXPECT_EQ(QueueNames().size(), 1u);
    EXPECT_EQ(printers_.InstalledPrinters(), std::vector<std::string>{path});
}

TEST_F(printCups, QueueNamesNeverCollide)
{
    // A local queue already holds the name the connection would get.
    AddLocalQueue(Env("SMB_HOST") + "_" + Env("SMB_SHARE_LASER"));
    printers_.Connect(Unc("SMB_SHARE_LASER"));
    printers_.Connect(Unc("SMB_SHARE_PLAIN"));

    EXPECT_EQ(QueueNames().size(), 3u);
    const std::vector<std::string> listed = printers_.InstalledPrinters();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), Unc("SMB_SHARE_LASER")), 1);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), Unc("SMB_SHARE_PLAIN")), 1);
}

TEST_F(printCups, ListShowsConnectionsByPathAndOtherQueuesByNameInCupsOrder)
{
    AddLocalQueue("000-local");
    AddLocalQueue("zzz-local");
    printers_.Connect(Unc("SMB_SHARE_LASER"));

    // CUPS's order is by queue name; the connection sits between the two local queues.
    const std::vector<std::string> queues = QueueNames();
    ASSERT_EQ(queues.size(), 3u);
    EXPECT_EQ(printers_.InstalledPrinters(),
              (std::vector<std::string>{"000-local", Unc("SMB_SHARE_LASER"), "zzz-local"}));
}

TEST_F(printCups, RemoveDeletesOnlyTheConnection)
{
    AddLocalQueue("office-local");
    printers_.Connect(Unc("SMB_SHARE_LASER"));
    printers_.Connect(Unc("SMB_SHARE_PLAIN"));

    printers_.Remove(Unc("SMB_SHARE_LASER"));
    EXPECT_EQ(printers_.InstalledPrinters(),
              (std::vector<std::string>{Unc("SMB_SHARE_PLAIN"), "office-local"}));

    // Local printers are never removed; paths not connected are an error.
    EXPECT_TRUE(Contains(ErrorOf([&] { printers_.Remove("office-local"); }), "local printer"));
    EXPECT_TRUE(
        Contains(ErrorOf([&] { printers_.Remove(Unc("SMB_SHARE_LASER")); }), "is not connected"));
    EXPECT_EQ(QueueNames().size(), 2u);
}

TEST_F(printCups, SetDefaultSetsTheUsersDefaultNotTheServers)
{
    AddLocalQueue("office-local");
    printers_.Connect(Unc("SMB_SHARE_LASER"));

    std::string upper = Unc("SMB_SHARE_LASER");
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    printers_.SetDefault(upper);
    const std::string queue = UserDefault();
    EXPECT_EQ(DeviceUriOf(queue), "smb://" + Env("SMB_HOST") + "/" + Env("SMB_SHARE_LASER"));
    const ToolResult lpstat = RunTool("lpstat", {"-d"});
    EXPECT_EQ(lpstat.out, "system default destination: " + queue + "\n");
    EXPECT_TRUE(std::filesystem::exists(UserOptionsFile()));

    printers_.SetDefault("office-local");
    EXPECT_EQ(UserDefault(), "office-local");

    // The scheduler's own default stays unset.
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER,
                                1, 5000, nullptr);
    ASSERT_NE(http, nullptr);
    ippDelete(cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
    EXPECT_EQ(cupsLastError(), IPP_STATUS_ERROR_NOT_FOUND);
    httpClose(http);
}

TEST_F(printCups, SetDefaultOfAnUnknownPrinterFails)
{
    printers_.Connect(Unc("SMB_SHARE_LASER"));
    printers_.SetDefault(Unc("SMB_SHARE_LASER"));

    EXPECT_TRUE(Contains(ErrorOf([&] { printers_.SetDefault(Unc("SMB_SHARE_PLAIN")); }),
                         "is not connected"));
    EXPECT_TRUE(Contains(ErrorOf([&] { printers_.SetDefault("None"); }), "no printer named"));
    EXPECT_TRUE(Contains(ErrorOf([&] { printers_.SetDefault(""); }), "no printer named"));
    EXPECT_NE(UserDefault(), "");
}

TEST_F(printCups, ConnectRefusesWhatIsNotAPrinterShare)
{
    const std::string host = Env("SMB_HOST");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"laser", "is not a printer's network path"},
        {"//" + host + "/laser", "is not a printer's network path"},
        {"\\\\" + host, "share name is missing"},
        {"\\\\" + host + "\\nosuch", "has no share named \"nosuch\""},
        {"\\\\" + host + "\\Bad \"quote\" #?", "has no share named \"Bad \"quote\" #?\""},
        {"\\\\" + host + "\\B\xc3\xbcro Drucker", "has no share named \"B\xc3\xbcro Drucker\""},
        {Unc("SMB_SHARE_DISK"), "is a shared folder, not a printer"},
        {"\\\\" + host + "\\IPC$", "is not a printer share"},
    };
    for (const auto& [path, expected] : cases) {
        const std::string message = ErrorOf([&] { printers_.Connect(path); });
        EXPECT_TRUE(Contains(message, expected)) << path << ": " << message;
    }
    EXPECT_TRUE(QueueNames().empty());
}

TEST_F(printCups, ServersThatCannotBeAskedFailWithinTheLimit)
{
    // A host that accepts and never speaks, one that answers a byte at a time (on its own,
    // libsmbclient gives up there only after ~10 s, with another error), an address nobody
    // has, one whose packets are dropped, one without SMB, a name nobody knows. The test's
    // TIMEOUT guards the time.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\\\\" + Env("SMB_DEAD_HOST") + "\\laser", "does not answer"},
        {"\\\\" + Env("SMB_TRICKLING_HOST") + "\\laser", "does not answer"},
        {"\\\\" + Env("SMB_ABSENT_HOST") + "\\laser", "does not answer"},
        {"\\\\" + Env("SMB_SILENT_HOST") + "\\laser", "does not answer"},
        {"\\\\" + Env("SMB_REFUSING_HOST") + "\\laser", "refuses connections on the SMB port"},
        // How soon an unknown name fails depends on the resolver: either message will do.
        {"\\\\no-such-host.invalid\\laser", "\"no-such-host.invalid\""},
    };
    for (const auto& [path, expected] : cases) {
        const std::string message = ErrorOf([&] { printers_.Connect(path); });
        EXPECT_TRUE(Contains(message, expected)) << path << ": " << message;
    }
    EXPECT_TRUE(QueueNames().empty());
}

TEST_F(printCups, AUserWhoMayNotChangePrintersIsToldWhy)
{
    // As a workstation user outside lpadmin, against a cupsd with the stock policy.
    const bool told = RunUnprivileged([] {
        cupsSetUser(nullptr); // libcups kept the parent's name
        const std::string message =
            ErrorOf([] { CupsPrintSystem().Connect(Unc("SMB_SHARE_LASER")); });
        std::cout << message << std::endl; // the child ends with _exit
        return Contains(message, "refuses: Forbidden") && Contains(message, "lpadmin");
    });
    EXPECT_TRUE(told);
    EXPECT_TRUE(QueueNames().empty());

    // Queues that exist as they should are that user's printers all the same.
    AddQueue("for-nobody", "smb://" + Env("SMB_HOST") + "/" + Env("SMB_SHARE_LASER"),
             "wdclient for nobody");
    AddQueue("adm-plain", "smb://" + Env("SMB_HOST") + "/" + Env("SMB_SHARE_PLAIN"));
    std::string why;
    EXPECT_TRUE(RunUnprivileged(
        [] {
            cupsSetUser(nullptr); // libcups kept the parent's name
            CupsPrintSystem printers;
            printers.Connect(Unc("SMB_SHARE_LASER"));
            printers.Connect(Unc("SMB_SHARE_PLAIN"));
            return printers.InstalledPrinters() ==
                   std::vector<std::string>{"adm-plain", Unc("SMB_SHARE_LASER")};
        },
        &why))
        << why;
}

TEST_F(printCups, AdministratorsQueuesAreUsedAsTheyAreAndNeverChanged)
{
    const std::string host = Env("SMB_HOST");
    const std::string secret = "smb://ws:secret@" + host + "/" + Env("SMB_SHARE_PLAIN");
    AddQueue("adm-laser", "smb://" + host + "/" + Env("SMB_SHARE_LASER"), "Room 12");
    AddQueue("adm-plain", secret);
    // Holds the name a connection to colour would get, but prints elsewhere.
    AddQueue(host + "_" + Env("SMB_SHARE_BRACKETS"), "ipp://127.0.0.1:9/ipp/print");

    for (const char* key : {"SMB_SHARE_LASER", "SMB_SHARE_PLAIN", "SMB_SHARE_BRACKETS"})
        printers_.Connect(Unc(key));
    EXPECT_EQ(QueueNames().size(), 4u) << "only colour needed a queue";
    printers_.SetDefault(Unc("SMB_SHARE_PLAIN"));
    EXPECT_EQ(UserDefault(), "adm-plain");

    const std::vector<std::string> listed = printers_.InstalledPrinters();
    for (const std::string& item : listed)
        if (item.rfind("\\\\", 0) == 0)
            printers_.Remove(item); // what a clearing run does
    EXPECT_EQ(std::count(listed.begin(), listed.end(), Unc("SMB_SHARE_BRACKETS")), 1);
    EXPECT_TRUE(Contains(ErrorOf([&] { printers_.Remove(Unc("SMB_SHARE_LASER")); }), "kept"));
    EXPECT_EQ(QueueNames().size(), 3u);
    EXPECT_EQ(QueueOptions("adm-laser")["printer-location"], "Room 12");
    EXPECT_EQ(SavedDeviceUri(*servers_, "adm-plain"), secret);
}

TEST_F(printCups, QueuesOfDepartedUsersGoAndThoseOfUsersStillLoggedInStay)
{
    const std::string me = cupsUser();
    const std::string laser = "smb://" + Env("SMB_HOST") + "/" + Env("SMB_SHARE_LASER");
    AddQueue("for-carol", laser, "wdclient for carol");
    AddQueue("for-carol-bob", laser, "wdclient for carol, bob");
    AddQueue("for-bob", "smb://" + Env("SMB_HOST") + "/" + Env("SMB_SHARE_PLAIN"),
             "wdclient for bob");
    CupsPrintSystem printers(std::chrono::milliseconds(2500),
                             [](const std::string& user) { return user == "bob"; });

    EXPECT_EQ(printers.InstalledPrinters(), (std::vector<std::string>{"for-bob", "for-carol-bob"}));
    EXPECT_EQ(QueueOptions("for-carol-bob")["printer-location"], "wdclient for bob");

    // Bob's queue serves this user too, and clearing gives it back to bob alone.
    printers.Connect(Unc("SMB_SHARE_PLAIN"));
    EXPECT_EQ(QueueOptions("for-bob")["printer-location"], "wdclient for bob, " + me);
    EXPECT_EQ(QueueNames().size(), 2u);
    printers.Remove(Unc("SMB_SHARE_PLAIN"));
    EXPECT_EQ(QueueOptions("for-bob")["printer-location"], "wdclient for bob");
}

TEST_F(printCups, AnUnreachableSchedulerIsReportedAsSuch)
{
    cupsSetServer((Env("TESTSERVERS_DIR") + "/no-such.sock").c_str());
    const std::string listing = ErrorOf([&] { printers_.InstalledPrinters(); });
    const std::string connecting = ErrorOf([&] { printers_.Connect(Unc("SMB_SHARE_LASER")); });
    cupsSetServer(nullptr);
    EXPECT_TRUE(Contains(listing, "Cannot reach the printing system")) << listing;
    EXPECT_TRUE(Contains(connecting, "Cannot reach the printing system")) << connecting;
}
