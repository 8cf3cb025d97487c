// Where the programs find their database: beside the program, else the system-wide conf.

#include "platform/store/storeerror.h"
#include "shared/databaselocation.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

struct DatabaseLocationTest : ::testing::Test {
    DatabaseLocation Locate() const
    {
        return LocateDatabase(program.Path() + "/", system.File("wddata.conf"));
    }
    std::string Error() const
    try {
        Locate();
        return "<no error>";
    } catch (const StoreError& e) {
        return e.what();
    }
    TempDir program, system;
};

TEST_F(DatabaseLocationTest, TheConfBesideTheProgramThenTheFileThenTheSystemConf)
{
    WriteFileBytes(system.File("wddata.conf"), "# the site's\n  database = site.mdb \n");
    WriteFileBytes(system.File("site.mdb"), "");
    EXPECT_EQ(Locate().location, system.File("site.mdb")) << "relative to the conf's folder";
    WriteFileBytes(program.File("wddata.mdb"), "");
    EXPECT_EQ(Locate().location, program.File("wddata.mdb"));
    // A conf with nothing set yet, as the package installs it, is passed over.
    WriteFileBytes(program.File("wddata.conf"), "# database = /srv/wd/wddata.mdb\n\n");
    EXPECT_EQ(Locate().location, program.File("wddata.mdb"));
    WriteFileBytes(program.File("wddata.conf"), "Database=\"" + system.File("site.mdb") + "\"\n");
    EXPECT_EQ(Locate().namedBy, program.File("wddata.conf"));
    EXPECT_EQ(Locate().location, system.File("site.mdb")) << "read without its quotes";
}

TEST_F(DatabaseLocationTest, ErrorsNameEveryPlaceLookedAtOrTheConf)
{
    WriteFileBytes(system.File("wddata.conf"), "# database = /srv/wd/wddata.mdb\n");
    const std::string nothing = Error();
    for (const std::string& place :
         {program.File("wddata.conf"), program.File("wddata.mdb"),
          system.File("wddata.conf") + " (names no database yet)"})
        EXPECT_NE(nothing.find(place), std::string::npos) << nothing;

    // A broken conf is an error even where wddata.mdb would be found after it.
    WriteFileBytes(program.File("wddata.mdb"), "");
    const std::pair<std::string, std::string> cases[] = {
        {"# misspelt\ndatabse = x\n", "unknown key \"databse\" (line 2)"},
        {"database = \"\"\n", "names no database (line 1)"},
        {"database = gone.mdb\n", program.File("gone.mdb") + "\", which cannot be found"},
        {"\ndatabase\n", "(line 2)"},
        {"database = a\ndatabase = b\n", "twice"}};
    for (const auto& [text, says] : cases) {
        WriteFileBytes(program.File("wddata.conf"), text);
        const std::string error = Error();
        EXPECT_NE(error.find(program.File("wddata.conf")), std::string::npos) << error;
        EXPECT_NE(error.find(says), std::string::npos) << error;
    }
}
