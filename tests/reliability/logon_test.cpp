// A logon as a workstation's user meets it: a database the user may only read, no display,
// no platform plugin. The run never aborts and never waits on a message nobody can see.

#include "platform/store/schema.h"
#include "tests/support/asuser.h"
#include "tests/support/tempdir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{

struct Case {
    const char* name;
    bool startingRows; // made by today's "wddb create"
    const char* sql;   // run on it afterwards
    bool writable;     // for the user, else read-only
    std::vector<std::string> args;
    const char* platform; // QT_QPA_PLATFORM, or null for none
    int exitCode;
    const char* says; // on standard error; "" for nothing at all
};

const char* const kUnreachable =
    "INSERT INTO printers (UNCNAME, Description, Available) VALUES ('\\\\nosuch.invalid\\laser', "
    "'', 1);"
    "INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, \"Default\", Active) "
    "VALUES ('*', '\\\\nosuch.invalid\\laser', '', '', '', 5, 1);";

const Case kCases[] = {
    {"read-only, never seeded: nothing added, nothing asked",
     false,
     "",
     false,
     {"/S", "/q"},
     nullptr,
     0,
     ""},
    {"no display, a printer that cannot be reached",
     true,
     kUnreachable,
     false,
     {"/S"},
     nullptr,
     0,
     "Error mapping \\\\nosuch.invalid\\laser"},
    {"no display and no /S: the run goes on without its window",
     true,
     kUnreachable,
     false,
     {},
     nullptr,
     0,
     "Error mapping \\\\nosuch.invalid\\laser"},
    {"no platform plugin", true, kUnreachable, false, {"/S"}, "nosuchplugin", 0, "Error mapping"},
    {"no display, the user may add a rule",
     true,
     "",
     true,
     {"/S"},
     nullptr,
     0,
     "no window can be shown to ask"},
    {"no display, an error that ends the run",
     true,
     "DROP TABLE MapRules;",
     false,
     {"/S"},
     nullptr,
     1,
     "missing the table MapRules"},
};

} // namespace

TEST(Logon, AReadOnlyDatabaseOrNoDisplayNeverBlocksNorAborts)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string client = CopyClient(dir);
        const std::string db = dir.File("wddata.mdb");
        CreateDatabase(db, c.startingRows);
        ExecSql(db, std::string(c.sql) + "DROP TABLE wd_runlog;");
        chmod(dir.Path().c_str(), c.writable ? 0777 : 0755);
        chmod(db.c_str(), c.writable ? 0666 : 0444);
        const std::string before = ReadFileBytes(db);
        const std::string err = dir.File("err.txt");
        WriteFileBytes(err, "");
        chmod(err.c_str(), 0666);

        std::string why;
        EXPECT_TRUE(RunUnprivileged(
            [&] {
                unsetenv("DISPLAY");
                unsetenv("WAYLAND_DISPLAY");
                c.platform ? setenv("QT_QPA_PLATFORM", c.platform, 1) : unsetenv("QT_QPA_PLATFORM");
                std::vector<std::string> args = {"/usr/bin/timeout", "60", client};
                args.insert(args.end(), c.args.begin(), c.args.end());
                const int code = RunProgram(args, err);
                return code == c.exitCode;
            },
            &why))
            << why << "\n"
            << ReadFileBytes(err);
        const std::string said = ReadFileBytes(err);
        if (*c.says) {
            EXPECT_NE(said.find(c.says), std::string::npos) << said;
        } else {
            EXPECT_EQ(said, "");
        }
        if (!c.writable) {
            EXPECT_TRUE(ReadFileBytes(db) == before) << "the file was changed";
        }
    }
}
