// CupsPrintSystem against the private cupsd and smbd of scripts/testservers. Every test starts
// with no queues and no lpoptions.

#include "platform/print/cupsprintsystem.h"
#include "platform/smb/smbtreeconnect.h"
#include "tests/support/asuser.h"
#include "tests/support/printstate.h"
#include "tests/support/testservers.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace print_test
{

using Names = std::vector<std::string>;

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PrintError& e) {
        return e.what();
    }
    return "(no error)";
}

class CupsPrintSystem : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        servers_ = std::make_unique<TestServers>(TestServers::Load());
        servers_->Export();
    }
    void SetUp() override { ResetPrintServer(*servers_); }

    static std::string Env(const std::string& key) { return servers_->Get(key); }
    static std::string Unc(const std::string& shareKey) { return servers_->Unc(Env(shareKey)); }
    static std::string Uri(const char* key) { return "smb://" + Env("SMB_HOST") + "/" + Env(key); }

    static inline std::unique_ptr<TestServers> servers_;
    ::CupsPrintSystem printers_;
};

TEST_F(CupsPrintSystem, ConnectMakesOneRawQueueForEachKindOfShareListedByPathInCupsOrder)
{
    // Shares with a comment, none, brackets in it, blanks, '#' and non-ASCII letters in the name;
    // a server known by its NetBIOS name only (found by broadcast); local queues around, one
    // with the name the connection to laser would get.
    const std::string netbios = "\\\\" + Env("SMB_NETBIOS_NAME") + "\\" + Env("SMB_SHARE_LASER");
    const std::string taken = Env("SMB_HOST") + "_" + Env("SMB_SHARE_LASER");
    AddLocalQueue("000-local");
    AddLocalQueue(taken);
    for (const std::string& path : {Unc("SMB_SHARE_LASER"), Unc("SMB_SHARE_PLAIN"),
                                    Unc("SMB_SHARE_BRACKETS"), Unc("SMB_SHARE_ODD"), netbios})
        EXPECT_NO_THROW(printers_.Connect(path)) << path;
    EXPECT_EQ(printers_.InstalledPrinters(),
              (Names{"000-local", Unc("SMB_SHARE_ODD"), Unc("SMB_SHARE_BRACKETS"), taken,
                     Unc("SMB_SHARE_LASER"), Unc("SMB_SHARE_PLAIN"), netbios}));
    const std::map<std::string, std::string> expected = {
        {"device-uri", Uri("SMB_SHARE_LASER")},
        {"printer-info", Unc("SMB_SHARE_LASER")},
        {"printer-is-accepting-jobs", "true"},
        {"printer-state", "3"}, // idle, i.e. enabled
        {"printer-make-and-model", "Local Raw Printer"},
        {"printer-location", std::string("wdclient for ") + cupsUser()}};
    auto options = QueueOptions(taken + "_2");
    for (const auto& [key, value] : expected)
        EXPECT_EQ(options[key], value) << key;

    // Connecting again, in any letter case, leaves a queue as it should be as it is.
    ASSERT_EQ(RunTool("lpadmin", {"-p", taken + "_2", "-D", "By hand"}).exitCode, 0);
    printers_.Connect(Unc("SMB_SHARE_LASER"));
    printers_.Connect("\\\\" + Env("SMB_HOST") + "\\LASER");
    EXPECT_EQ(QueueNames().size(), 7u);
    EXPECT_EQ(QueueOptions(taken + "_2")["printer-info"], "By hand");
}

TEST_F(CupsPrintSystem, SetDefaultSetsTheUsersDefaultNotTheServers)
{
    AddLocalQueue("office-local");
    printers_.Connect(Unc("SMB_SHARE_LASER"));
    printers_.SetDefault("\\\\" + Env("SMB_HOST") + "\\LASER");
    const std::string queue = UserDefault();
    EXPECT_EQ(QueueOptions(queue)["device-uri"], Uri("SMB_SHARE_LASER"));
    EXPECT_EQ(RunTool("lpstat", {"-d"}).out, "system default destination: " + queue + "\n");
    EXPECT_TRUE(std::filesystem::exists(UserOptionsFile(*servers_)));
    printers_.SetDefault("office-local");
    for (const auto& [name, error] :
         std::map<std::string, std::string>{{Unc("SMB_SHARE_PLAIN"), "is not connected"},
                                            {"None", "no printer named"},
                                            {"", "no printer named"}})
        EXPECT_NE(ErrorOf([&] { printers_.SetDefault(name); }).find(error), std::string::npos)
            << name;
    EXPECT_EQ(UserDefault(), "office-local");
    // The scheduler's own default stays unset.
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER,
                                1, 5000, nullptr);
    ASSERT_NE(http, nullptr);
    ippDelete(cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
    EXPECT_EQ(cupsLastError(), IPP_STATUS_ERROR_NOT_FOUND);
    httpClose(http);
}

TEST_F(CupsPrintSystem, ConnectRefusesWhatIsNotAPrinterShareOfAServerThatAnswers)
{
    const std::string host = "\\\\" + Env("SMB_HOST");
    std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("\\\\srv\\la\0ser", 12),
         "\"\\\\srv\\la\\x00ser\" is not a printer's network path"},
        {"//srv/a b", "\"//srv/a b\" is not a printer's network path"},
        {host, "share name is missing"},
        {host + "\\nosuch", "has no share named \"nosuch\""},
        {host + "\\Bad \"quote\" #?", "has no share named \"Bad \"quote\" #?\""},
        {host + "\\B\xc3\xbcro Drucker", "has no share named \"B\xc3\xbcro Drucker\""},
        {Unc("SMB_SHARE_DISK"), "is a shared folder, not a printer"},
        {host + "\\IPC$", "is not a printer share"},
        // Hosts that do not answer and others: see also the client's tests.
        {"\\\\" + Env("SMB_SILENT_HOST") + "\\laser", "does not answer"},
        {"\\\\" + Env("SMB_REFUSING_HOST") + "\\laser", "refuses connections on the SMB port"},
        {"\\\\no-such-host.invalid\\laser", "\"no-such-host.invalid\""}};
    for (const char* path :
         {"", "laser", "\\laser", "//srv/laser", "\\\\srv", "\\\\srv\\", "\\\\\\laser",
          "\\\\srv\\laser\\", "\\\\srv\\laser\\x", "\\\\srv\\la\nser"})
        cases.emplace_back(path, "is not a printer's network path");
    for (const auto& [path, expected] : cases) {
        const std::string message = ErrorOf([&] { printers_.Connect(path); });
        EXPECT_NE(message.find(expected), std::string::npos) << path << ": " << message;
    }
    EXPECT_TRUE(QueueNames().empty());
}

TEST_F(CupsPrintSystem, ShareTypesComeFromTreeConnectsUnlessOnlyAListingCanTell)
{
    const auto soon = [] { return std::chrono::steady_clock::now() + std::chrono::seconds(3); };
    const std::string laser = Env("SMB_SHARE_LASER"), odd = Env("SMB_SHARE_ODD");
    const std::string disk = Env("SMB_SHARE_DISK");
    const ShareTypes types =
        AskShareTypes(Env("SMB_HOST"), {laser, odd, disk, "IPC$", "nosuch"}, soon());
    EXPECT_FALSE(types.unsure) << "the anonymous session was refused";
    EXPECT_EQ(types.error, 0);
    EXPECT_EQ(types.kinds, (std::map<std::string, SmbKind>{{laser, SmbKind::PrinterShare},
                                                           {odd, SmbKind::PrinterShare},
                                                           {disk, SmbKind::DiskShare},
                                                           {"IPC$", SmbKind::Other}}));
    // Silence is an error; a name only NetBIOS knows is left to the listing.
    const auto second = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    EXPECT_EQ(AskShareTypes(Env("SMB_DEAD_HOST"), {laser}, second).error, ETIMEDOUT);
    EXPECT_TRUE(AskShareTypes(Env("SMB_NETBIOS_NAME"), {laser}, soon()).unsure);
    EXPECT_NO_THROW(printers_.CheckShare("\\\\" + Env("SMB_NETBIOS_NAME") + "\\" + laser));
}

TEST_F(CupsPrintSystem, WhatThePrintingSystemRefusesOrCannotBeAskedIsToldWhy)
{
    // As a workstation user outside lpadmin, against a cupsd with the stock policy.
    EXPECT_TRUE(RunUnprivileged([] {
        cupsSetUser(nullptr); // libcups kept the parent's name
        const std::string message =
            ErrorOf([] { ::CupsPrintSystem().Connect(Unc("SMB_SHARE_LASER")); });
        std::cout << message << std::endl; // the child ends with _exit
        return message.find("refuses: Forbidden") != std::string::npos &&
               message.find("lpadmin") != std::string::npos;
    }));
    EXPECT_TRUE(QueueNames().empty());
    // A scheduler that does not answer.
    cupsSetServer((Env("TESTSERVERS_DIR") + "/no-such.sock").c_str());
    const Names messages = {ErrorOf([&] { printers_.InstalledPrinters(); }),
                            ErrorOf([&] { printers_.Connect(Unc("SMB_SHARE_LASER")); })};
    cupsSetServer(nullptr);
    for (const std::string& message : messages)
        EXPECT_NE(message.find("Cannot reach the printing system"), std::string::npos) << message;
}

TEST_F(CupsPrintSystem, QueuesOfDepartedUsersGoAndThoseOfUsersStillLoggedInStay)
{
    AddQueue("for-carol", Uri("SMB_SHARE_LASER"), "wdclient for carol");
    AddQueue("for-carol-bob", Uri("SMB_SHARE_LASER"), "wdclient for carol, bob");
    AddQueue("for-bob", Uri("SMB_SHARE_PLAIN"), "wdclient for bob");
    ::CupsPrintSystem printers(std::chrono::milliseconds(2500),
                               [](const std::string& user) { return user == "bob"; });
    EXPECT_EQ(printers.InstalledPrinters(), (Names{"for-bob", "for-carol-bob"}));
    EXPECT_EQ(QueueOptions("for-carol-bob")["printer-location"], "wdclient for bob");
    // Bob's queue serves this user too, and clearing gives it back to bob alone.
    printers.Connect(Unc("SMB_SHARE_PLAIN"));
    EXPECT_EQ(QueueOptions("for-bob")["printer-location"],
              "wdclient for bob, " + std::string(cupsUser()));
    EXPECT_EQ(QueueNames().size(), 2u);
    printers.Remove(Unc("SMB_SHARE_PLAIN"));
    EXPECT_EQ(QueueOptions("for-bob")["printer-location"], "wdclient for bob");
}

} // namespace print_test
