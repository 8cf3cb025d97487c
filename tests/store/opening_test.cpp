// Opening the database file: connection strings, and every kind of bad file, which must
// give a message naming the file and the fault and leave the file as it was.

#include "platform/store/connection.h"
#include "platform/store/connectionstring.h"
#include "platform/store/rowset.h"
#include "platform/store/schema.h"
#include "platform/store/storeerror.h"
#include "tests/support/asuser.h"
#include "tests/support/tempdir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

std::string ConnectionTo(const std::string& path, const std::string& password = kDatabasePassword,
                         bool readOnly = false)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
           ";Persist Security Info=False;" + (readOnly ? "Mode=Read;" : "") +
           "Jet OLEDB:Database Password=" + password;
}

// The message of the error that opening gives; fails the test when it opens.
std::string OpenError(const std::string& path, const std::string& password = kDatabasePassword)
{
    Connection c;
    c.SetConnectionString(ConnectionTo(path, password));
    try {
        c.Open();
    } catch (const StoreError& e) {
        return e.what();
    }
    ADD_FAILURE() << "opened " << path;
    return "";
}

struct BadFile {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* expected;
};

} // namespace

TEST(ConnectionString, FindsTheFileModeAndPassword)
{
    ConnectionSettings s = ParseConnectionString(ConnectionTo("/srv/wd/wddata.mdb", "pw", true));
    EXPECT_EQ(s.dataSource, "/srv/wd/wddata.mdb");
    EXPECT_EQ(s.mode, "Read");
    EXPECT_EQ(s.password, "pw");
    EXPECT_EQ(s.provider, "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(ParseConnectionString(ConnectionTo("/x/wddata.mdb")).mode, "");
}

TEST(ConnectionString, FolderNamesMayHoldSemicolonsAndEquals)
{
    EXPECT_EQ(ParseConnectionString(ConnectionTo("/srv/a;b=c;Mode/wddata.mdb")).dataSource,
              "/srv/a;b=c;Mode/wddata.mdb");
    EXPECT_THROW(ParseConnectionString("Provider=x;Persist Security Info=False"), StoreError);
}

TEST(Opening, BadFilesAreNamedWithTheirFaultAndLeftUnchanged)
{
    TempDir dir;
    std::vector<BadFile> cases = {
        {"empty", [](const std::string& p) { WriteFileBytes(p, ""); }, "empty"},
        {"three bytes", [](const std::string& p) { WriteFileBytes(p, "/@4"); }, "unknown format"},
        {"random",
         [](const std::string& p) {
             std::string bytes;
             for (int i = 0; i < 4096; ++i)
                 bytes += static_cast<char>((i * 7919) % 251);
             WriteFileBytes(p, bytes);
         },
         "unknown format"},
        {"jet",
         [](const std::string& p) {
             std::string head("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24);
             WriteFileBytes(p, head + std::string(4072, '\x11'));
         },
         "Microsoft Access (Jet)"},
        {"foreign sqlite", [](const std::string& p) { ExecSql(p, "CREATE TABLE t (a);"); },
         "not a printer-mapping database"},
        {"no MapRules",
         [](const std::string& p) {
             CreateDatabase(p, kDatabasePassword);
             ExecSql(p, "DROP TABLE MapRules;");
         },
         "missing the table MapRules"},
        {"no UNCPath3",
         [](const std::string& p) {
             CreateDatabase(p, kDatabasePassword);
             ExecSql(p, "ALTER TABLE MapRules DROP COLUMN UNCPath3;");
         },
         "missing the field UNCPath3 in the table MapRules"},
        {"truncated",
         [](const std::string& p) {
             CreateDatabase(p, kDatabasePassword);
             std::string bytes = ReadFileBytes(p);
             WriteFileBytes(p, bytes.substr(0, 1500));
         },
         "reported"},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir.File(std::string(c.name) + ".mdb");
        c.make(path);
        std::string before = ReadFileBytes(path);
        std::string message = OpenError(path);
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(ReadFileBytes(path), before);
    }
}

TEST(Opening, MissingFileAndWrongPassword)
{
    TempDir dir;
    std::string missing = dir.File("wddata.mdb");
    EXPECT_NE(OpenError(missing).find("cannot be found"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing)) << "opening must not create the file";

    std::string path = MakeDatabase(dir.Path());
    std::string before = ReadFileBytes(path);
    std::string message = OpenError(path, "VOSTRELK");
    EXPECT_NE(message.find("password"), std::string::npos) << message;
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(Opening, ReadModeWritesWhereAllowedElseOpensReadOnly)
{
    TempDir dir;
    std::string path = MakeDatabase(dir.Path());
    Connection c;
    c.SetConnectionString(ConnectionTo(path, kDatabasePassword, true));
    c.Open();
    EXPECT_FALSE(c.ReadOnly());
    c.Close();

    chmod(dir.Path().c_str(), 0755);
    chmod(path.c_str(), 0444);
    std::string why;
    bool ok = RunUnprivileged(
        [&] {
            Connection client;
            client.SetConnectionString(ConnectionTo(path, kDatabasePassword, true));
            client.Open();
            if (!client.ReadOnly())
                return false;
            RowSet rules(client, "MapRulesTable");
            rules.SetTableName("MapRules");
            rules.Open();
            rules.Append();
            rules.FieldByName("RULENAME").SetAsString("PC1");
            try {
                rules.Post();
                return false;
            } catch (const StoreError& e) {
                if (std::string(e.what()).find("read-only") == std::string::npos)
                    return false;
            }
            Connection admin;
            admin.SetConnectionString(ConnectionTo(path));
            try {
                admin.Open();
                return false;
            } catch (const StoreError& e) {
                return std::string(e.what()).find("for writing") != std::string::npos;
            }
        },
        &why);
    EXPECT_TRUE(ok) << why;
}

TEST(Opening, AFileMadeReadOnlyAfterOpeningRefusesTheNextWriteAndKeepsWhatWasStored)
{
    TempDir dir;
    std::string path = MakeDatabase(dir.Path());
    chmod(dir.Path().c_str(), 0777);
    // The administrator's own file, which the administrator then makes read-only.
    if (const passwd* nobody = getpwnam("nobody"); nobody && geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    std::string why;
    bool ok = RunUnprivileged(
        [&] {
            Connection admin;
            admin.SetConnectionString(ConnectionTo(path));
            admin.Open();
            RowSet rules(admin, "MapRulesTable");
            rules.SetTableName("MapRules");
            rules.Open();
            rules.Append();
            rules.FieldByName("RULENAME").SetAsString("KEPT");
            rules.Post();
            chmod(path.c_str(), 0444);
            rules.Append();
            rules.FieldByName("RULENAME").SetAsString("REFUSED");
            try {
                rules.Post();
                return false;
            } catch (const StoreError& e) {
                return std::string(e.what()).find("read-only") != std::string::npos &&
                       rules.State() == DataSetState::Insert;
            }
        },
        &why);
    EXPECT_TRUE(ok) << why;
    EXPECT_EQ(QueryValue(path, "select group_concat(RULENAME) from MapRules"), "KEPT");
}
