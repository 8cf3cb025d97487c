#include "platform/print/moduleprintsystem.h"
#include "platform/print/printsystem.h"
#include "platform/print/queuename.h"
#include "platform/smb/smbpath.h"
#include "platform/smb/smberror.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{

std::string ParseError(const std::string& text)
{
    try {
        ParseUncPath(text);
    } catch (const SmbError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(printNaming, RejectsWhatIsNotAServerAndShare)
{
    const std::vector<std::string> texts = {"",
                                            "laser",
                                            "\\laser",
                                            "//srv/laser",
                                            "\\\\srv",
                                            "\\\\srv\\",
                                            "\\\\\\laser",
                                            "\\\\srv\\laser\\",
                                            "\\\\srv\\laser\\x",
                                            std::string("\\\\srv\\la\0ser", 12),
                                            std::string("\\\\srv\\la\nser")};
    for (const std::string& text : texts) {
        const std::string message = ParseError(text);
        EXPECT_NE(message.find("is not a printer's network path"), std::string::npos)
            << "for \"" << text << "\": " << message;
    }
    EXPECT_NE(ParseError(std::string("\\\\srv\\la\0ser", 12)).find("\"\\\\srv\\la\\x00ser\""),
              std::string::npos);
}

TEST(printNaming, ShareUrisAreReadAsTheSmbBackendReadsThem)
{
    for (const char* uri : {"SMB://srv/laser", "smb://wg/srv/laser", "smb://user:p@w@srv/laser",
                            "smb://srv:445/laser"}) {
        const auto path = UncFromSmbUri(uri);
        EXPECT_TRUE(path && path->server == "srv" && path->share == "laser") << uri;
    }
    const std::vector<std::string> uris = {
        "socket://srv:9100", "smb://srv",           "smb://srv/",     "smb:///laser",
        "smb://a/b/c/d",     "smb://srv:x/laser",   "smb://srv/la%2", "smb://srv/laser?x=1",
        "smb://srv/la%0Aser", "smb://srv/a%5Cb"};
    for (const std::string& uri : uris) {
        EXPECT_FALSE(UncFromSmbUri(uri)) << uri;
    }
}

TEST(printNaming, QueueNamesAreSafeForCupsAndUnique)
{
    const std::string name = QueueNameFor({"198.51.100.2", "B\xc3\xbcro \"A\" #2?'/"}, {});
    EXPECT_EQ(name, "198.51.100.2_B_ro_A_2");

    // Paths that sanitize alike, and names that differ from a taken one only in case.
    EXPECT_EQ(QueueNameFor({"srv", "a b"}, {"srv_a_b"}), "srv_a_b_2");
    EXPECT_EQ(QueueNameFor({"srv", "a#b"}, {"SRV_A_B", "srv_a_b_2"}), "srv_a_b_3");

    const std::string longName = QueueNameFor({std::string(300, 's'), std::string(300, 'p')}, {});
    EXPECT_LT(longName.size(), 110u);
    EXPECT_EQ(QueueNameFor({"\xc3\xbc", "\xc3\xbc"}, {}), "x_x");
}

TEST(printNaming, TheModuleIsLookedForOnlyWhereTheProgramLies)
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
