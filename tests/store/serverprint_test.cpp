// A logon on a PostgreSQL server with the private print and SMB servers: the rule's two
// printers connected and its second slot made the default, read from the server.

#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/printstate.h"
#include "tests/support/testdatabase.h"
#include "tests/support/testservers.h"

#include <gtest/gtest.h>

TEST(ServerLogon, ConnectsTheRulesPrintersAndSetsItsDefault)
{
    const TestServers servers = TestServers::Load();
    servers.Export();
    ResetPrintServer(servers);
    const std::string host = servers.Get("SMB_HOST");
    const std::string laser = servers.Get("SMB_SHARE_LASER"),
                      plain = servers.Get("SMB_SHARE_PLAIN");
    TempDir dir;
    const std::string paths = "'" + servers.Unc(laser) + "', '" + servers.Unc(plain) + "'";
    TestDatabase db(Backend::Server, dir,
                    "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (TRUE, "
                    "FALSE); INSERT INTO printers (UNCNAME) VALUES ('" +
                        servers.Unc(laser) + "'), ('" + servers.Unc(plain) +
                        "'); INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, "
                        "\"Default\", Active) VALUES ('pc*', " +
                        paths + ", 'None', 2, TRUE);");
    WriteFileBytes(dir.File("wddata.conf"), "database = " + db.Location() + "\n");
    GuiDriver gui;
    EXPECT_EQ(RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC1"}).exitCode, 0);
    std::vector<std::string> uris;
    for (const std::string& q : QueueNames())
        uris.push_back(QueueOptions(q)["device-uri"]);
    EXPECT_EQ(uris, (std::vector<std::string>{"smb://" + host + "/" + laser,
                                              "smb://" + host + "/" + plain}));
    EXPECT_EQ(QueueOptions(UserDefault())["device-uri"], "smb://" + host + "/" + plain);
    EXPECT_TRUE(gui.messages.empty());
}
