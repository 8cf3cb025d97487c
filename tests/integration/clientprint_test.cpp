// The client's printer work on the private cupsd and smbd: clearing, connecting, defaults.

#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/asuser.h"
#include "tests/support/printstate.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <QApplication>
#include <cups/cups.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace
{

using Strings = std::vector<std::string>;

class ClientPrintTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        servers = std::make_unique<TestServers>(TestServers::Load());
        servers->Export();
    }
    void SetUp() override { ResetPrintServer(*servers); }

    static std::string Unc(const std::string& shareKey)
    {
        return servers->Unc(servers->Get(shareKey));
    }
    static std::string Uri(const std::string& shareKey)
    {
        return "smb://" + servers->Get("SMB_HOST") + "/" + servers->Get(shareKey);
    }
    // One client run in this process; returns the statuses shown.
    Strings Run(const std::string& sql, Strings args = {}, bool clearFirst = false)
    {
        MakeDatabase(dir.Path(), ConfigRow(clearFirst, false) + sql);
        args.insert(args.begin(), {"/S", "/CLIENTNAME=PC1"});
        ClientPass pass = RunClientPass(dir.Path(), args);
        EXPECT_EQ(pass.exitCode, 0);
        std::filesystem::remove(dir.File("wddata.mdb"));
        return pass.statuses;
    }
    // The device URIs of the queues, in CUPS's order.
    static Strings DeviceUris()
    {
        Strings uris;
        for (const std::string& q : QueueNames())
            uris.push_back(QueueOptions(q)["device-uri"]);
        return uris;
    }
    static std::string DefaultUri() { return QueueOptions(UserDefault())["device-uri"]; }

    static inline std::unique_ptr<TestServers> servers;
    TempDir dir;
    GuiDriver gui;
};

bool Has(const Strings& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TEST_F(ClientPrintTest, TwoPrintersAndTheSecondAsDefault)
{
    // The second through placeholders given as switches.
    std::string laser = Unc("SMB_SHARE_LASER"), plain = "\\\\%PRINTHOST%\\%QUEUE%";
    Strings statuses = Run(
        PrinterRow(laser) + PrinterRow(plain) + RuleRow("PC*", {laser, plain, "None", "none"}, 2),
        {"/PRINTHOST=" + servers->Get("SMB_HOST"), "/QUEUE=" + servers->Get("SMB_SHARE_PLAIN")});
    EXPECT_EQ(DeviceUris(), (Strings{Uri("SMB_SHARE_LASER"), Uri("SMB_SHARE_PLAIN")}));
    EXPECT_EQ(DefaultUri(), Uri("SMB_SHARE_PLAIN"));
    Strings connecting;
    for (const std::string& s : statuses)
        if (s.rfind("Connecting to: ", 0) == 0)
            connecting.push_back(s);
    EXPECT_EQ(connecting,
              (Strings{"Connecting to: " + laser, "Connecting to: " + Unc("SMB_SHARE_PLAIN")}))
        << "None slots show and connect nothing";
    EXPECT_TRUE(gui.messages.empty());
}

TEST_F(ClientPrintTest, ClearingRemovesOnlyTheQueuesTheClientMade)
{
    std::string laser = Unc("SMB_SHARE_LASER"), plain = Unc("SMB_SHARE_PLAIN");
    std::string colour = Unc("SMB_SHARE_BRACKETS");
    AddLocalQueue("office-local");
    // An administrator's queues for SMB printers, one with credentials in its URI.
    AddQueue("adm-colour", Uri("SMB_SHARE_BRACKETS"));
    AddQueue("adm-secret", "smb://ws:secret@" + servers->Get("SMB_HOST") + "/other");
    Run(PrinterRow(laser) + RuleRow("PC1", {laser, "", "", ""}, 5));
    Run(PrinterRow(plain) + PrinterRow(colour) + RuleRow("PC1", {plain, colour, "", ""}, 2), {},
        true);
    Strings uris = DeviceUris();
    std::sort(uris.begin(), uris.end());
    EXPECT_EQ(uris,
              (Strings{"ipp://127.0.0.1:9/ipp/print", Uri("SMB_SHARE_BRACKETS"),
                       "smb://" + servers->Get("SMB_HOST") + "/other", Uri("SMB_SHARE_PLAIN")}));
    EXPECT_EQ(UserDefault(), "adm-colour") << "the administrator's queue serves the rule";
    Strings statuses = Run(RuleRow("PC1", {"", "", "", ""}, 5), {}, true);
    EXPECT_TRUE(Has(statuses, "Clearing Current Printers"));
    EXPECT_EQ(QueueNames(), (Strings{"adm-colour", "adm-secret", "office-local"}));
    EXPECT_EQ(SavedDeviceUri(*servers, "adm-secret"),
              "smb://ws:secret@" + servers->Get("SMB_HOST") + "/other");
}

TEST_F(ClientPrintTest, AUserOutsideLpadminGetsEveryPrinterWhoseQueueExists)
{
    // An earlier logon made nobody's laser queue and an administrator one for plain; colour
    // would need a new queue, which the stock policy refuses to a user outside lpadmin.
    std::string laser = Unc("SMB_SHARE_LASER"), plain = Unc("SMB_SHARE_PLAIN");
    std::string colour = Unc("SMB_SHARE_BRACKETS");
    AddQueue("for-nobody", Uri("SMB_SHARE_LASER"), "wdclient for nobody");
    AddQueue("adm-plain", Uri("SMB_SHARE_PLAIN"));
    MakeDatabase(dir.Path(),
                 "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 0);" +
                     PrinterRow("None") + PrinterRow(laser) + PrinterRow(plain) +
                     PrinterRow(colour) + RuleRow("PC1", {laser, plain, colour, ""}, 2));
    const std::string client = CopyClient(dir);
    const std::string home = dir.File("home");
    std::filesystem::create_directory(home);
    const passwd* nobody = getpwnam("nobody");
    ASSERT_TRUE(nobody && chown(home.c_str(), nobody->pw_uid, nobody->pw_gid) == 0);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);

    std::string why;
    EXPECT_TRUE(RunUnprivileged(
        [&] {
            setenv("HOME", home.c_str(), 1);
            // An error box would wait for ever: offscreen, nobody answers it.
            return RunProgram({"/usr/bin/timeout", "60", client, "/S", "/q", "/CLIENTNAME=PC1"}) ==
                   0;
        },
        &why))
        << why;
    EXPECT_EQ(QueueNames(), (Strings{"adm-plain", "for-nobody"}));
    EXPECT_NE(ReadFileBytes(home + "/.cups/lpoptions").find("Default adm-plain"),
              std::string::npos);
}

TEST_F(ClientPrintTest, ASlotDifferingInCaseConnectsThePrintersOwnText)
{
    std::string host = servers->Get("SMB_HOST");
    std::string rowText = "\\\\" + host + "\\" + servers->Get("SMB_SHARE_LASER");
    std::string slotText = "\\\\" + host + "\\LASER";
    Strings statuses = Run(PrinterRow(rowText) + RuleRow("PC1", {slotText, "", "", ""}, 5));
    EXPECT_TRUE(Has(statuses, "Connecting to: " + slotText));
    ASSERT_EQ(QueueNames().size(), 1u);
    EXPECT_EQ(QueueOptions(QueueNames()[0])["printer-info"], rowText);
}

TEST_F(ClientPrintTest, AFailingSlotIsReportedAndTheRunGoesOn)
{
    std::string missing = servers->Unc("no-such-share"), disk = Unc("SMB_SHARE_DISK");
    std::string laser = Unc("SMB_SHARE_LASER");
    std::string rules = PrinterRow(missing) + PrinterRow(disk) + PrinterRow(laser) +
                        RuleRow("PC1", {missing, disk, laser, ""}, 3);
    Run(rules);
    ASSERT_EQ(gui.messages.size(), 2u);
    EXPECT_EQ(gui.messages[0].text.toStdString(),
              "Error mapping " + missing +
                  " Does the printer still exist and have drivers associated???");
    EXPECT_FALSE(gui.messages[0].details.isEmpty()) << "the cause is shown too";
    EXPECT_EQ(gui.messages[0].caption, QApplication::applicationName());
    EXPECT_EQ(DeviceUris(), (Strings{Uri("SMB_SHARE_LASER")}));

    gui.messages.clear();
    ResetPrintServer(*servers);
    Run(rules, {"/q"});
    EXPECT_TRUE(gui.messages.empty());
    EXPECT_EQ(DeviceUris(), (Strings{Uri("SMB_SHARE_LASER")}));
}

TEST_F(ClientPrintTest, PrintersOfServersThatDoNotAnswerAreReportedAsSuch)
{
    // Silent after accepting, absent, answering a byte at a time: each server is asked once
    // and given up at its deadline (the test's TIMEOUT guards the time).
    for (const char* host : {"SMB_DEAD_HOST", "SMB_ABSENT_HOST", "SMB_TRICKLING_HOST"}) {
        SCOPED_TRACE(host);
        std::string laser = "\\\\" + servers->Get(host) + "\\laser";
        std::string plain = "\\\\" + servers->Get(host) + "\\plain";
        Run(PrinterRow(laser) + PrinterRow(plain) + RuleRow("PC1", {laser, plain, "", ""}, 5));
        ASSERT_EQ(gui.messages.size(), 2u);
        for (const auto& message : gui.messages)
            EXPECT_TRUE(message.details.contains("does not answer"))
                << message.details.toStdString();
        gui.messages.clear();
        EXPECT_TRUE(QueueNames().empty());
    }
}

TEST_F(ClientPrintTest, OddPathsAreConnectedOrRefusedByTheirLiteralNames)
{
    std::string odd = Unc("SMB_SHARE_ODD"); // blanks, '#' and non-ASCII
    std::string marker = dir.File("ran");
    std::string hostile = servers->Unc("x'\";$(touch " + marker + ")`touch " + marker + "`#?");
    std::string placeholder = "\\\\" + servers->Get("SMB_HOST") + "\\%SHARE%";
    Run(PrinterRow(odd) + PrinterRow(hostile) + PrinterRow(placeholder) +
            RuleRow("PC1", {odd, hostile, placeholder, ""}, 1),
        {"/SHARE=;touch " + marker + "\n#"});
    ASSERT_EQ(QueueNames().size(), 1u);
    EXPECT_EQ(QueueOptions(QueueNames()[0])["printer-info"], odd);
    EXPECT_EQ(DefaultUri(), QueueOptions(QueueNames()[0])["device-uri"]);
    ASSERT_EQ(gui.messages.size(), 2u);
    EXPECT_TRUE(gui.messages[0].text.contains(QString::fromStdString(hostile)));
    EXPECT_TRUE(gui.messages[1].text.contains(";touch "));
    EXPECT_FALSE(std::filesystem::exists(marker)) << "a path or switch ran a command";
}

// A laptop's rules by the network it is on, run inside the servers' own network; and a rule by
// group, for a user in it and one who is not.
TEST_F(ClientPrintTest, RulesFollowTheNetworkTheComputerIsOnAndTheUsersGroups)
{
    const std::string laser = Unc("SMB_SHARE_LASER"), plain = Unc("SMB_SHARE_PLAIN");
    const std::string host = servers->Get("SMB_HOST");
    const std::string here = host.substr(0, host.rfind('.')) + ".0/24";
    EnsureTestUser("wdtest-a", "wdtest-staff");
    EnsureTestUser("wdtest-b");
    MakeDatabase(dir.Path(),
                 "INSERT INTO Config VALUES (0, 0, 'none');" + PrinterRow(laser) +
                     PrinterRow(plain) +
                     "INSERT INTO MapRules (RULENAME, UNCPath1, \"Default\", Active, Networks, "
                     "Groups) VALUES ('PC*', '" +
                     laser + "', 5, 1, '192.0.2.0/24 " + here + "', ''), ('PC1', '" + plain +
                     "', 5, 1, '192.0.2.0/24, 2001:db8::/32', ''),"
                     " ('PC2', '" +
                     plain + "', 5, 1, '', 'Others, WDTEST-Staff');");
    const std::string client = CopyClient(dir);
    ASSERT_EQ(RunProgram({"/usr/sbin/ip", "netns", "exec", servers->Get("SMB_NETNS"), client, "/S",
                          "/q", "/CLIENTNAME=PC1"}),
              0);
    EXPECT_EQ(DeviceUris(), (Strings{Uri("SMB_SHARE_LASER")}));
    EXPECT_NE(QueryValue(dir.File("wddata.mdb"), "SELECT results FROM wd_runlog")
                  .find("PC1: not here: the computer is on none of its networks (192.0.2.0/24, "
                        "2001:db8::/32)"),
              std::string::npos);
    for (const char* user : {"wdtest-a", "wdtest-b"}) {
        const std::string report = RunTool(client, {"/WHATIF", "/OFFLINE", "/CLIENTNAME=PC2",
                                                    "/USERNAME=" + std::string(user)})
                                       .out;
        EXPECT_EQ(report.find("rule PC2: matches, not here: the user " + std::string(user) +
                              " is in none of its groups (Others, WDTEST-Staff)") ==
                      std::string::npos,
                  user == std::string("wdtest-a"))
            << report;
    }
}
