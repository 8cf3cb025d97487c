// Printers' names: share URIs, CUPS queue names, and where the printing module is looked for.

#include "platform/print/moduleprintsystem.h"
#include "platform/print/queuename.h"
#include "platform/smb/smbpath.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(NetworkPaths, ShareUrisAreWrittenAndReadAsTheSmbBackendReadsThem)
{
    EXPECT_EQ(SmbUri({"srv-1.a_b~", "B\xc3\xbcro #2/-._~"}),
              "smb://srv-1.a_b~/B%C3%BCro%20%232%2F-._~");
    for (const char* uri : {"SMB://srv/laser", "smb://wg/srv/laser", "smb://user:p@w@srv/laser",
                            "smb://srv:445/laser", "smb://s%72v/l%61ser"}) {
        const auto path = UncFromSmbUri(uri);
        EXPECT_TRUE(path && path->server == "srv" && path->share == "laser") << uri;
    }
    for (const char* uri : {"socket://srv:9100", "smb://srv", "smb://srv/", "smb:///laser",
                            "smb://a/b/c/d", "smb://srv:x/laser", "smb://srv/la%2",
                            "smb://srv/laser?x=1", "smb://srv/la%0Aser", "smb://srv/a%5Cb"})
        EXPECT_FALSE(UncFromSmbUri(uri)) << uri;
}

TEST(QueueName, NamesAreSafeForCupsAndUnique)
{
    EXPECT_EQ(QueueNameFor({"198.51.100.2", "B\xc3\xbcro \"A\" #2?'/"}, {}),
              "198.51.100.2_B_ro_A_2");
    EXPECT_EQ(QueueNameFor({"print-srv", "\xc3\xbc"}, {}), "print-srv_x");
    // Paths that sanitize alike, and names that differ from a taken one only in case.
    EXPECT_EQ(QueueNameFor({"srv", "a b"}, {"srv_a_b"}), "srv_a_b_2");
    EXPECT_EQ(QueueNameFor({"srv", "a#b"}, {"SRV_A_B", "srv_a_b_2"}), "srv_a_b_3");
    EXPECT_LT(QueueNameFor({std::string(300, 's'), std::string(300, 'p')}, {}).size(), 110u);
}

TEST(ModulePrintSystem, TheModuleIsLookedForOnlyWhereTheProgramLies)
{
    std::string message;
    try {
        ModulePrintSystem("libwdprint-missing.so").InstalledPrinters();
    } catch (const PrintError& e) {
        message = e.what();
    }
    const std::string program = std::filesystem::canonical("/proc/self/exe").parent_path();
    EXPECT_NE(message.find(program + "/libwdprint-missing.so"), std::string::npos) << message;
    EXPECT_NE(message.find(program + "/../lib/"), std::string::npos) << message;
    EXPECT_EQ(message.find(WD_BINARY_DIR "/client"), std::string::npos) << message;
}
