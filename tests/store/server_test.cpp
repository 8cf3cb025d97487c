// The programs on a PostgreSQL server: a client run that fails over to the second listed
// server, bad servers and confs, wddb copying to a server and back, wdConfig's main paths.

#include "admin/wdConfig.h"
#include "client/windowrun.h"
#include "platform/dbwidgets/dbcheckbox.h"
#include "platform/dbwidgets/dbcombobox.h"
#include "platform/dbwidgets/dbedit.h"
#include "platform/store/storeerror.h"
#include "shared/ruledetails.h"
#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"
#include "tests/support/testdatabase.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace
{

struct Outcome {
    int exitCode;
    std::string output; // standard output and error
};

Outcome Wddb(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(WD_BINARY_DIR "/tools/wddb", args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), p.readAll().toStdString()};
}

void Conf(const TempDir& dir, const std::string& database)
{
    WriteFileBytes(dir.File("wddata.conf"), "# the site's server\ndatabase = " + database + "\n");
}

} // namespace

TEST(ServerClient, MatchesAndAddsOnTheSecondListedServerWhenTheFirstIsDown)
{
    TempDir dir;
    TempDir stopped; // a server folder without a server: its socket is gone
    TestDatabase db(Backend::Server, dir, R"(
        INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (FALSE, TRUE);
        INSERT INTO MapRules (RULENAME, Active) VALUES ('lab*', TRUE), ('OFF*', TRUE);)");
    Conf(dir, ServerUri(db.Name(), "postgres", stopped.Path() + "," + PgServerDir()));

    const ClientPass match = RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=LAB12"});
    EXPECT_EQ(match.exitCode, 0);
    EXPECT_NE(std::find(match.statuses.begin(), match.statuses.end(), "Found Matching Rule: lab*"),
              match.statuses.end());
    EXPECT_EQ(db.Query("SELECT COUNT(*) FROM printers WHERE UNCNAME = 'NONE'"), "1")
        << "the None printer is seeded on the server, found in any case";

    // No rule for PC9: Yes, and the rule dialog's OK adds one and applies it at once.
    GuiDriver gui;
    gui.Answer(QMessageBox::Yes);
    gui.OnShow([](QDialog& shown) {
        auto& form = dynamic_cast<TRuleDetailsFrm&>(shown);
        EXPECT_FALSE(form.computername->isEnabled());
        EXPECT_EQ(form.computername->text(), "PC9");
        PickEntry(form.defaultPrinterComboBox, "3");
        QTest::mouseClick(form.okButton, Qt::LeftButton);
    });
    const ClientPass added = RunClientPass(dir.Path(), {"/S", "/CLIENTNAME=PC9"});
    EXPECT_EQ(added.exitCode, 0);
    EXPECT_EQ(added.statuses.back(), "Setting Default Printer");
    EXPECT_EQ(db.Query("SELECT RULENAME || '|' || \"Default\" || '|' || Active FROM MapRules "
                       "WHERE RULENAME = 'pc9'"),
              "PC9|3|true");
}

// Both programs, in this process; the client's exit code and the administrator's refusal.
TEST(ServerClient, BadServersAndConfsGiveAClearMessageAndExitOneChangingNothing)
{
    TempDir dir;
    TempDir stopped;
    TestDatabase empty(Backend::Server, dir, "", false);
    const struct {
        const char* name;
        std::string database;
        const char* password;
        const char* message;
    } cases[] = {
        {"server down", "postgresql:///wd?host=" + stopped.Path(), nullptr,
         "Cannot reach the database \"wd\""},
        {"wrong password", ServerUri("wd", "wd_pw"), "not-the-password", "refused the login"},
        {"no tables", empty.Location(), nullptr, "has no wd_meta table"},
        {"unreadable URI", "postgresql://[::1", nullptr, "cannot be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Conf(dir, c.database);
        if (c.password)
            setenv("PGPASSWORD", c.password, 1);
        GuiDriver gui;
        TBrevUtil client({"wdclient", "/S", "/q", "/CLIENTNAME=LAB1"});
        client.SetStartDir(dir.Path());
        EXPECT_EQ(RunWdClient(client, ReadClientSwitches(client)), 1);
        ASSERT_EQ(gui.messages.size(), 1u);
        const std::string shown = gui.messages[0].text.toStdString();
        EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
        EXPECT_EQ(shown.find("not-the-password"), std::string::npos);

        TBrevUtil admin({"wdConfig"});
        admin.SetStartDir(dir.Path());
        TConfigForms forms(admin);
        EXPECT_THROW(forms.dbform.SetConnection(false), StoreError);
        unsetenv("PGPASSWORD");
    }
    EXPECT_EQ(empty.Query("SELECT COUNT(*) FROM information_schema.tables WHERE "
                          "table_schema = 'public'"),
              "0");
}

TEST(WddbCopy, AFileGoesToTheServerAndBackKeepingEveryRowAndValue)
{
    TempDir dir;
    TestDatabase file(Backend::File, dir, R"(
        INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (1, 0);
        INSERT INTO printers (UNCNAME, Description, Available) VALUES ('\\srv\A', 'it''s "quoted"', 1), ('\\SRV\b', NULL, 0),
                                    ('None', 'Ünïcode ✓', NULL);
        INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, "Default", Active) VALUES ('LAB*', '\\srv\A', '', NULL, '%HOSTNAME%', 2, 1),
                                    ('pc12', NULL, NULL, NULL, NULL, NULL, 0);)");
    TestDatabase server(Backend::Server, dir, "", false);
    const QString uri = QString::fromStdString(server.Location());
    const QString back = QString::fromStdString(dir.File("back.mdb"));
    const QString source = QString::fromStdString(file.Location());

    // As the README has it: the server's tables made first, with their starting rows.
    ASSERT_EQ(Wddb({"create", uri}).exitCode, 0);
    EXPECT_EQ(Wddb({"copy", source, uri}).exitCode, 0);
    EXPECT_EQ(Wddb({"copy", uri, back}).exitCode, 0);
    const std::string shown = Wddb({"show", source}).output;
    EXPECT_EQ(Wddb({"show", uri}).output, shown);
    EXPECT_EQ(Wddb({"show", back}).output, shown);
    EXPECT_NE(shown.find("Ünïcode ✓"), std::string::npos);

    const Outcome again = Wddb({"copy", source, uri});
    EXPECT_EQ(again.exitCode, 1) << "a target that holds data is refused";
    EXPECT_NE(again.output.find("already holds rows"), std::string::npos) << again.output;
    EXPECT_EQ(Wddb({"show", uri}).output, shown) << "and left as it was";
}

// A new database needs no seeding, so a read-only one is complete from the start.
TEST(WddbCreate, StartsWithTheOptionsAndNoneAndNamesAMissingFolder)
{
    TempDir dir;
    const std::string file = dir.File("wddata.mdb");
    ASSERT_EQ(Wddb({"create", QString::fromStdString(file)}).exitCode, 0);
    EXPECT_EQ(QueryValue(file, "SELECT group_concat(ClearPrintersFirst || AllowClientSelection) "
                               "FROM Config"),
              "11");
    EXPECT_EQ(QueryValue(file, "SELECT group_concat(UNCNAME || '|' || Description || '|' || "
                               "Available) FROM printers"),
              "None|No Printer|1");
    const Outcome missing =
        Wddb({"create", QString::fromStdString(dir.File("no/such/wddata.mdb"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("The folder \"" + dir.File("no/such") + "\" does not exist"),
              std::string::npos)
        << missing.output;
}

// wdConfig's main paths on the server: a printer and a rule added through their dialogs, a
// printer listed already in another case refused, the options stored when it closes.
TEST(ServerAdmin, AddsAPrinterAndARuleRefusesADuplicateAndStoresTheOptions)
{
    TempDir dir;
    TestDatabase db(Backend::Server, dir,
                    "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) "
                    "VALUES (FALSE, FALSE);");
    Conf(dir, db.Location());
    GuiDriver gui;
    TBrevUtil util({"wdConfig"});
    util.SetStartDir(dir.Path());
    TConfigForms forms(util);
    forms.dbform.SetConnection(false);
    Tadminmainfrm& main = forms.adminmainfrm;
    main.show();
    const auto add = [&](QPushButton* open, QLineEdit* key, QPushButton* ok, QPushButton* cancel,
                         const char* typed) {
        gui.OnShow([=](QDialog& shown) {
            QTest::keyClicks(key, typed);
            QTest::mouseClick(ok, Qt::LeftButton);
            if (shown.isVisible()) // refused: still pending
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        QTest::mouseClick(open, Qt::LeftButton);
    };
    TprinterEntryfrm& printer = forms.printerEntryfrm;
    TRuleDetailsFrm& rule = forms.RuleDetailsFrm;
    add(main.addPrinterButton, printer.pathEdit, printer.okButton, printer.cancelButton,
        "\\\\srv\\K1");
    add(main.addPrinterButton, printer.pathEdit, printer.okButton, printer.cancelButton,
        "\\\\SRV\\k1");
    add(main.addRuleButton, rule.computername, rule.okButton, rule.cancelButton, "LAB*");
    QTest::mouseClick(main.allowClientRulesCheckBox, Qt::LeftButton);
    QTest::mouseClick(main.clearFirstCheckBox, Qt::LeftButton);
    main.close();

    EXPECT_EQ(db.Query("SELECT string_agg(UNCNAME || ':' || Available, ',' ORDER BY UNCNAME) "
                       "FROM printers"),
              "\\\\srv\\K1:true,None:true");
    EXPECT_EQ(db.Query("SELECT string_agg(RULENAME || ':' || Active, ',') FROM MapRules"),
              "LAB*:true");
    EXPECT_EQ(db.Query("SELECT ClearPrintersFirst::int || '' || AllowClientSelection::int "
                       "FROM Config"),
              "11");
    ASSERT_EQ(gui.messages.size(), 1u);
    EXPECT_TRUE(gui.messages[0].text.contains("is already in the printer list"));
}
