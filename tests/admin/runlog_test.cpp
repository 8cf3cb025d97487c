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

const char* const kNoPrinterRule = "INSERT INTO Config VALUES (0, 0);"
                                   "INSERT INTO printers VALUES ('None', 'No Printer', 1);"
                                   "INSERT INTO MapRules VALUES ('PC1', 'None', '', '', '', 5, 1);";

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

TEST(RunLogTable, AnOldFileOpensInBothProgramsAndOnlyWdConfigAddsTheTable)
{
    TempDir dir;
    const std::string path = MakeDatabase(dir.Path(), kNoPrinterRule);
    ExecSql(path, "DROP TABLE wd_runlog; UPDATE wd_meta SET value = '1' "
                  "WHERE key = 'schema_version';");
    const std::string count = "SELECT COUNT(*) FROM wd_runlog";
    EXPECT_EQ(RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC1"}).exitCode, 0);
    EXPECT_NE(QueryValue(path, count).find("no such table"), std::string::npos)
        << "the client added the table";

    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    TConfigForms forms(util);
    forms.dbform.SetConnection(false);
    AddRunLog(forms.dbform.ADOConnection);
    EXPECT_EQ(QueryValue(path, "SELECT value FROM wd_meta WHERE key = 'schema_version'"), "2");

    EXPECT_EQ(RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC1"}).exitCode, 0);
    EXPECT_EQ(QueryValue(path, "SELECT outcome || ' ' || results FROM wd_runlog"),
              "ok PC1: slot 1 None: no printer\nPC1: slot 2 : skipped: not in the printer "
              "list\nPC1: slot 3 : skipped: not in the printer list\nPC1: slot 4 : skipped: "
              "not in the printer list");
}

TEST(RunLogWindows, TestShowsTheReportAndLastRunsTheFailuresFirst)
{
    GuiDriver gui;
    TempDir dir;
    const std::string path = MakeDatabase(
        dir.Path(),
        "INSERT INTO printers VALUES ('\\\\srv\\%USERNAME%', '', 1);"
        "INSERT INTO MapRules VALUES ('LAB*', '\\\\srv\\%USERNAME%', '', '', '', 1, 1);");
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    TConfigForms forms(util);
    forms.dbform.SetConnection(false);
    const std::string before = ReadFileBytes(path);
    Tadminmainfrm& main = forms.adminmainfrm;
    main.show();

    std::string report;
    gui.OnShow([&](QDialog& d) {
        main.RuleTestFrm->ComputerEdit->setText("LAB7");
        main.RuleTestFrm->UserEdit->setText("bob");
        QTest::mouseClick(main.RuleTestFrm->TestButton, Qt::LeftButton);
        report = main.RuleTestFrm->Report->toPlainText().toStdString();
        d.close();
    });
    QTest::mouseClick(main.testRulesButton, Qt::LeftButton);
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
