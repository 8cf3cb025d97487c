// The run log: its table bounded per computer, files without it, and how wdConfig shows it
// ("Test...", "Last runs"). A read-only file: the store's tests.

#include "admin/lastruns.h"
#include "admin/ruletest.h"
#include "admin/wdConfig.h"
#include "platform/store/drivers.h"
#include "platform/store/runlogtable.h"
#include "platform/store/schema.h"
#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/asuser.h"
#include "tests/support/printstate.h"
#include "tests/support/tempdir.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{

const char* const kNoPrinterRule =
    "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 0);"
    "INSERT INTO printers (UNCNAME, Description, Available) VALUES ('None', 'No Printer', 1);"
    "INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, \"Default\", Active) "
    "VALUES ('PC1', 'None', '', '', '', 5, 1);";

RunLogRow LoggedRun(const std::string& computer, int minute, long long failures)
{
    return {computer,
            "alice",
            "2026-12-08T08:" + std::to_string(10 + minute) + ":00.000Z",
            "PC*",
            failures ? "failed" : "ok",
            failures,
            failures ? "PC*: slot 1 x: refused" : "",
            "",
            100};
}

} // namespace

TEST(RunLogTable, KeepsTheLastRunsOfEachComputerAndShowsFailuresFirst)
{
    TempDir dir;
    std::unique_ptr<StoreDriver> driver =
        OpenDatabase({MakeDatabase(dir.Path()), Access::ReadWrite});
    StoreDriver& db = *driver;
    for (int minute = 0; minute < 25; ++minute)
        AppendRunLog(db, LoggedRun("PC1", minute, minute % 2));
    AppendRunLog(db, LoggedRun("PC2", 0, 1));
    const std::string path = dir.File("wddata.mdb");
    EXPECT_EQ(QueryValue(path, "SELECT COUNT(*) FROM wd_runlog WHERE computer = 'PC1'"), "20");
    EXPECT_EQ(QueryValue(path, "SELECT MIN(started) FROM wd_runlog WHERE computer = 'PC1'"),
              LoggedRun("", 5, 0).started);
    const std::vector<RunLogRow> latest = LatestRuns(db);
    ASSERT_EQ(latest.size(), 2u);
    EXPECT_EQ(latest[0].computer + latest[0].started, "PC2" + LoggedRun("", 0, 0).started)
        << "PC1's latest run failed nothing: it comes second";
    EXPECT_EQ(latest[1].started, LoggedRun("", 24, 0).started);
}

TEST(RunLogTable, AnOldFileOpensInBothProgramsAndOnlyWdConfigAddsTheTableAndFields)
{
    TempDir dir;
    const std::string path = MakeDatabase(dir.Path(), kNoPrinterRule);
    ExecSql(path, "DROP TABLE wd_runlog; UPDATE wd_meta SET value = '1' "
                  "WHERE key = 'schema_version'; ALTER TABLE printers DROP COLUMN Driver; "
                  "ALTER TABLE Config DROP COLUMN PrintAuthentication; "
                  "ALTER TABLE MapRules DROP COLUMN Networks; ALTER TABLE MapRules DROP COLUMN "
                  "Groups;");
    const std::string count = "SELECT COUNT(*) FROM wd_runlog";
    EXPECT_EQ(RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC1"}).exitCode, 0);
    EXPECT_NE(QueryValue(path, count).find("no such table"), std::string::npos)
        << "the client added the table";

    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    TConfigForms forms(util);
    forms.dbform.SetConnection(false);
    UpgradeTables(forms.dbform.ADOConnection);
    EXPECT_EQ(QueryValue(path, "SELECT value FROM wd_meta WHERE key = 'schema_version'"), "2");
    EXPECT_EQ(QueryValue(path, "SELECT COUNT(Driver) + COUNT(PrintAuthentication) + "
                               "COUNT(Networks) + COUNT(Groups) FROM printers, Config, MapRules"),
              "0");

    EXPECT_EQ(RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC1"}).exitCode, 0);
    EXPECT_EQ(QueryValue(path, "SELECT outcome || ' ' || results FROM wd_runlog"),
              "ok PC1: slot 1 None: no printer\nPC1: slot 2 : skipped: not in the printer "
              "list\nPC1: slot 3 : skipped: not in the printer list\nPC1: slot 4 : skipped: "
              "not in the printer list");
}

TEST(RunLogWindows, TestShowsTheReportAndLastRunsTheFailuresFirst)
{
    EnsureTestUser("wdtest-a", "wdtest-staff");
    EnsureTestUser("wdtest-b");
    GuiDriver gui;
    TempDir dir;
    const std::string path = MakeDatabase(
        dir.Path(),
        "INSERT INTO printers (UNCNAME, Description, Available) VALUES ('\\\\srv\\%USERNAME%', '', "
        "1);"
        "INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, \"Default\", "
        "Active) VALUES ('LAB*', '\\\\srv\\%USERNAME%', '', '', '', 1, 1);"
        "INSERT INTO MapRules (RULENAME, Networks, Groups) VALUES ('LAB7', '10.1.0.0/16', "
        "'Others, WDTEST-Staff');");
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    TConfigForms forms(util);
    forms.dbform.SetConnection(false);
    const std::string before = ReadFileBytes(path);
    Tadminmainfrm& main = forms.adminmainfrm;
    main.show();

    std::string report;
    gui.OnShow([&](QDialog& d) {
        main.RuleTestFrm->computerEdit->setText("LAB7");
        main.RuleTestFrm->userEdit->setText("bob");
        QTest::mouseClick(main.RuleTestFrm->testButton, Qt::LeftButton);
        report = main.RuleTestFrm->reportView->toPlainText().toStdString();
        // On the addresses and for the user given (Enter tests); a bad address is named.
        const std::tuple<const char*, const char*, const char*> cases[] = {
            {"192.0.2.1, 10.1.2.3", "wdtest-a", "rule LAB7: matches, active\n"},
            {"10.2.3.4 2001:db8::1", "wdtest-a",
             "not here: the computer is on none of its networks (10.1.0.0/16); its addresses: "
             "10.2.3.4, 2001:db8::1\n"},
            {"10.1.2.3", "wdtest-b", "not here: the user wdtest-b is in none of its groups"},
            {"10.1.2.3 10.1.2.300", "wdtest-a", "not here: the user wdtest-b"}}; // not run
        for (const auto& [addresses, user, line] : cases) {
            main.RuleTestFrm->addressEdit->setText(addresses);
            main.RuleTestFrm->userEdit->setText(user);
            QTest::keyClick(main.RuleTestFrm->addressEdit, Qt::Key_Return);
            EXPECT_TRUE(main.RuleTestFrm->reportView->toPlainText().contains(line)) << line;
        }
        QTest::keyClick(main.RuleTestFrm->addressEdit, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    QTest::mouseClick(main.testRulesButton, Qt::LeftButton);
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_EQ(gui.messages[0].text, "\"10.1.2.300\" is no IPv4 or IPv6 address.");
    EXPECT_NE(report.find("user: bob\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\n  slot 1 \\\\srv\\bob: connect (share not checked)\n"),
              std::string::npos)
        << report;
    EXPECT_TRUE(ReadFileBytes(path) == before) << "the file changed";

    AppendRunLog(forms.dbform.ADOConnection.Driver(), LoggedRun("LAB1", 0, 0));
    AppendRunLog(forms.dbform.ADOConnection.Driver(), LoggedRun("LAB2", 1, 1));
    QTest::mouseClick(main.lastRunsButton, Qt::LeftButton);
    QTableWidget* runs = main.LastRunsFrm->Runs;
    ASSERT_EQ(runs->rowCount(), 2);
    EXPECT_EQ(runs->item(0, 0)->text(), "LAB2");
    EXPECT_EQ(runs->item(0, 5)->text(), "PC*: slot 1 x: refused");
    EXPECT_TRUE(main.LastRunsFrm->isVisible());
}
