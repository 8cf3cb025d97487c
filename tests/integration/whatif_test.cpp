// wdclient /WHATIF against the private servers: it tells what the run then does, action by
// action, and changes nothing itself.

#include "tests/support/printstate.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{

using Strings = std::vector<std::string>;

const std::pair<const char*, const char*> kDone[] = {{": connect (", ": connected"},
                                                     {": set (", ": set"}};

// The report's actions in the run log's words: "RULE: slot 1 PATH: connected".
Strings ExpectedActions(const std::string& report)
{
    Strings actions;
    std::string rule;
    for (const std::string& line : Lines(report)) {
        if (line.rfind("rule ", 0) == 0) {
            rule = line.substr(5, line.find(": matches") - 5);
            if (line.find("inactive") != std::string::npos)
                actions.push_back(rule + ": inactive rule: nothing to do");
        } else if (line.rfind("  slot ", 0) == 0 || line.rfind("  default \\", 0) == 0) {
            std::string action = line.substr(2);
            for (const auto& [planned, done] : kDone)
                if (size_t at = action.find(planned); at != std::string::npos)
                    action = action.substr(0, at) + done;
            actions.push_back(rule + ": " + action);
        }
    }
    return actions;
}

struct ClientOutput {
    int exitCode;
    std::string out;
};

ClientOutput RunClient(const std::string& client, const QStringList& args)
{
    QProcess p;
    p.start(QString::fromStdString(client), args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput().toStdString()};
}

} // namespace

TEST(WhatIf, ListsExactlyWhatTheRunThenDoesAndChangesNothing)
{
    const TestServers servers = TestServers::Load();
    servers.Export();
    ResetPrintServer(servers);
    TempDir dir;
    const std::string laser = servers.Unc(servers.Get("SMB_SHARE_LASER"));
    const std::string plain = servers.Unc(servers.Get("SMB_SHARE_PLAIN"));
    const std::string disk = servers.Unc(servers.Get("SMB_SHARE_DISK"));
    const std::string missing = servers.Unc("no-such-share");
    // No "None" printer: a run adds it, the what-if must not.
    std::string sql = ConfigRow(false, false) + PrinterRow("\\\\off\\line", false);
    for (const std::string& path : {laser, plain, disk, missing})
        sql += PrinterRow(path);
    const std::string db =
        MakeDatabase(dir.Path(), sql + RuleRow("P*", {laser, disk, "None", "\\\\off\\line"}, 1) +
                                     RuleRow("PC*", {plain, missing, "\\\\not\\listed"}, 1) +
                                     RuleRow("PC1", {laser}, 1) +
                                     "UPDATE MapRules SET Active = 0 WHERE RULENAME = 'PC1';");
    const std::string client = CopyClient(dir);
    const std::string before = ReadFileBytes(db);

    const ClientOutput whatIf = RunClient(client, {"/WHATIF", "/CLIENTNAME=PC1"});
    ASSERT_EQ(whatIf.exitCode, 0) << whatIf.out;
    EXPECT_TRUE(ReadFileBytes(db) == before) << "the what-if wrote to the database";
    EXPECT_TRUE(QueueNames().empty()) << "the what-if changed the print server";
    EXPECT_NE(whatIf.out.find("note: the run first adds the missing printer None"),
              std::string::npos);
    EXPECT_NE(whatIf.out.find("default at the end: " + plain), std::string::npos) << whatIf.out;

    ASSERT_EQ(RunClient(client, {"/S", "/q", "/CLIENTNAME=PC1"}).exitCode, 0);
    const Strings done = Lines(QueryValue(db, "SELECT results FROM wd_runlog"));
    EXPECT_EQ(ExpectedActions(whatIf.out), done) << whatIf.out;
    EXPECT_EQ(done.size(), 11u);
    Strings uris;
    for (const std::string& q : QueueNames())
        uris.push_back(QueueOptions(q)["device-uri"]);
    std::sort(uris.begin(), uris.end());
    const std::string host = "smb://" + servers.Get("SMB_HOST") + "/";
    EXPECT_EQ(uris, (Strings{host + servers.Get("SMB_SHARE_LASER"),
                             host + servers.Get("SMB_SHARE_PLAIN")}));
    EXPECT_EQ(QueryValue(db, "SELECT outcome || ' ' || failures || ' ' || rules FROM wd_runlog"),
              "failed 2 P*, PC*, PC1");

    // Without the servers asked, the same actions, each share left unchecked.
    const ClientOutput offline = RunClient(client, {"/WHATIF", "/OFFLINE", "/CLIENTNAME=PC1"});
    EXPECT_EQ(offline.out.find("refused"), std::string::npos);
    EXPECT_EQ(offline.out.find("does not connect"), std::string::npos) << offline.out;
    EXPECT_NE(offline.out.find(disk + ": connect (share not checked)"), std::string::npos);

    // Copied without its windows' module: a silent run's messages go to standard error, and
    // the run ends in order.
    std::filesystem::remove(dir.File("libwdclientui.so"));
    const std::string err = dir.File("err.txt");
    EXPECT_EQ(RunProgram({"/usr/bin/timeout", "60", client, "/S", "/CLIENTNAME=PC1"}, err), 0);
    const std::string said = ReadFileBytes(err);
    EXPECT_NE(said.find("libwdclientui.so could not be loaded"), std::string::npos) << said;
    EXPECT_NE(said.find("Error mapping " + missing), std::string::npos) << said;
    EXPECT_EQ(QueryValue(db, "SELECT COUNT(*) FROM wd_runlog"), "2");
}
