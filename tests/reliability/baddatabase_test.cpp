// Bad database files: each gives a clear message or a correct run, with the documented exit
// code, and the file stays as it was where the program did not mean to write.

#include "admin/wdConfig.h"
#include "platform/store/schema.h"
#include "tests/client/clientpass.h"
#include "tests/gui/guidriver.h"
#include "tests/support/tempdir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace
{

struct Case {
    const char* name;
    std::function<void(const std::string& path)> make;
    int exitCode;
    const char* message; // in the message shown; "" when none is expected
    bool fileKept;       // byte for byte
};

std::string Bytes(size_t n, int seed)
{
    std::string out;
    for (size_t i = 0; i < n; ++i)
        out += static_cast<char>((i * 2654435761u + static_cast<unsigned>(seed)) >> 13);
    return out;
}

void Ours(const std::string& path, const std::string& sql)
{
    CreateDatabase(path);
    ExecSql(path, sql);
}

// A printers table made by hand, without the unique path, holding one path in many cases.
std::string AlikePrinters(int count)
{
    std::string sql = "DROP TABLE printers; CREATE TABLE printers (UNCNAME TEXT, Description TEXT, "
                      "Available BOOLEAN); BEGIN;";
    std::string base = "\\\\srv\\printerqueue";
    for (int i = 0; i < count; ++i) {
        std::string name = base;
        for (size_t b = 0; b < 14; ++b)
            if (i >> b & 1)
                name[name.size() - 1 - b] = static_cast<char>(name[name.size() - 1 - b] - 32);
        sql += "INSERT INTO printers (UNCNAME, Description, Available) VALUES ('" + name +
               "', 'alike', 0);";
    }
    return sql + "COMMIT;";
}

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"missing file", [](const std::string&) {}, 1, "cannot be found", true},
        {"empty file", [](const std::string& p) { WriteFileBytes(p, ""); }, 1, "empty", true},
        {"random bytes", [](const std::string& p) { WriteFileBytes(p, Bytes(8192, 1)); }, 1,
         "unknown format", true},
        {"another program's SQLite file",
         [](const std::string& p) { ExecSql(p, "CREATE TABLE t (a);"); }, 1,
         "not a printer-mapping database", true},
        {"truncated file",
         [](const std::string& p) {
             Ours(p, "INSERT INTO MapRules (RULENAME) VALUES ('LAB*');");
             WriteFileBytes(p, ReadFileBytes(p).substr(0, 9000));
         },
         1, "wddata.mdb", true},
        {"Jet file",
         [](const std::string& p) {
             WriteFileBytes(p,
                            std::string("\0\1\0\0Standard Jet DB\0\1\0\0\0", 24) + Bytes(4072, 2));
         },
         1, "Microsoft Access (Jet)", true},
        {"wrong password",
         [](const std::string& p) {
             Ours(p, "UPDATE wd_meta SET value = 'another' WHERE key = 'password_salt';");
         },
         1, "password", true},
        {"missing table", [](const std::string& p) { Ours(p, "DROP TABLE Config;"); }, 1,
         "missing the table Config", true},
        {"missing field",
         [](const std::string& p) { Ours(p, "ALTER TABLE printers DROP COLUMN Available;"); }, 1,
         "missing the field Available", true},
        {"NULL in every field",
         [](const std::string& p) {
             Ours(p, "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (NULL, "
                     "NULL); INSERT INTO printers (UNCNAME, Description, Available) VALUES "
                     "(NULL, NULL, NULL); INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, "
                     "UNCPath3, UNCPath4, \"Default\", Active) VALUES (NULL, NULL, NULL, NULL, "
                     "NULL, NULL, NULL); INSERT INTO MapRules (RULENAME, Active) VALUES "
                     "('*', NULL);");
         },
         0, "", false}, // "None" is seeded: a write the program means to make
        {"rule name of 100,000 characters",
         [](const std::string& p) {
             Ours(p, "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 0); "
                     "INSERT INTO printers (UNCNAME, Description, Available) VALUES ('None', "
                     "'No Printer', 1); INSERT INTO MapRules (RULENAME, Active) VALUES ('PC" +
                         std::string(99997, 'x') + "*', 0), ('" + std::string(100000, '*') +
                         "', 0);");
         },
         0, "", true},
        {"10,000 printers alike but for case",
         [](const std::string& p) {
             Ours(p,
                  "INSERT INTO Config (ClearPrintersFirst, AllowClientSelection) VALUES (0, 0);" +
                      AlikePrinters(10000) +
                      "INSERT INTO printers (UNCNAME, Description, Available) VALUES ('None', 'No "
                      "Printer', 1);"
                      "INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, "
                      "\"Default\", Active) VALUES ('PC*', '\\\\SRV\\PRINTERqueue', "
                      "'\\\\srv\\printerQUEUE', 'none', '', 5, 1);");
         },
         0, "", true},
    };
    return cases;
}

} // namespace

TEST(BadDatabases, TheClientGivesAClearMessageOrACorrectRun)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string path = dir.File("wddata.mdb");
        c.make(path);
        // A correct run writes its outcome to the run log, and only there: without the
        // table the file must stay as it was.
        if (c.exitCode == 0)
            ExecSql(path, "DROP TABLE wd_runlog;");
        std::string before = ReadFileBytes(path);
        GuiDriver gui;
        EXPECT_EQ(RunSilentPass(dir.Path(), {"/S", "/CLIENTNAME=PC7"}), c.exitCode);
        if (*c.message) {
            ASSERT_EQ(gui.messages.size(), 1u);
            EXPECT_TRUE(gui.messages[0].text.contains(c.message))
                << gui.messages[0].text.toStdString();
            EXPECT_TRUE(gui.messages[0].text.contains(QString::fromStdString(path)));
            EXPECT_EQ(gui.messages[0].caption, "KELVANE Wendrell Client");
        } else {
            EXPECT_TRUE(gui.messages.empty());
        }
        if (c.fileKept) {
            EXPECT_TRUE(ReadFileBytes(path) == before) << "the file was changed";
        }
        EXPECT_EQ(std::filesystem::exists(path), c.name != std::string("missing file"));
    }
}

TEST(BadDatabases, TheAdministrationProgramOpensOrRefusesClearly)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string path = dir.File("wddata.mdb");
        c.make(path);
        // A correct run writes its outcome to the run log, and only there: without the
        // table the file must stay as it was.
        if (c.exitCode == 0)
            ExecSql(path, "DROP TABLE wd_runlog;");
        std::string before = ReadFileBytes(path);
        TBrevUtil util({"wdConfig"});
        util.SetStartDir(dir.Path());
        TConfigForms forms(util);
        std::string message;
        try {
            forms.dbform.SetConnection(false);
        } catch (const std::exception& e) {
            message = e.what();
        }
        EXPECT_EQ(message.empty(), c.exitCode == 0) << message;
        if (*c.message) {
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
        }
        if (!message.empty()) {
            EXPECT_TRUE(ReadFileBytes(path) == before) << "the file was changed";
        }
    }
}
