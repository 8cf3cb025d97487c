#include "platform/host/brevutil.h"
#include "platform/host/textutil.h"

#include <gtest/gtest.h>

namespace
{

TBrevUtil With(std::vector<std::string> args)
{
    args.insert(args.begin(), "/opt/wd/wdclient");
    return TBrevUtil(args);
}

std::string Read(const TBrevUtil& u, const std::string& name)
{
    std::string value = "<untouched>";
    return u.ReadCommandLine(name, value) ? value : "<absent>";
}

} // namespace

TEST(Switches, AreReadAsTheyAreWrittenAndTheFirstOneWins)
{
    TBrevUtil u =
        With({"/CLIENTNAME=\"LAB 12\"", "-username:jo", "/s", "-Q", "/A=x=y:z", "/B:", "/C=\"",
              "/D= padded ", "LAB12", "/", "-", "/NAME=first", "-name=second"});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"clientname", "LAB 12"},
        {"USERNAME", "jo"},
        {"S", ""},
        {"q", ""},
        {"A", "x=y:z"},
        {"B", ""},
        {"C", "\""},
        {"D", " padded "},
        {"NAME", "first"},
        {"HOSTNAME", "<absent>"},
        {"LAB12", "<absent>"},
        {"", "<absent>"},
        // The program's own path is not a switch, though it begins with '/'.
        {"opt/wd/wdclient", "<absent>"}};
    for (const auto& [name, value] : cases)
        EXPECT_EQ(Read(u, name), value) << name;
}

TEST(Text, UpperCasingTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(UpperCaseAscii("ab-z_é ü1"), "AB-Z_é ü1");
    EXPECT_TRUE(EqualsIgnoreCase("Lab12", "LAB12"));
    EXPECT_FALSE(EqualsIgnoreCase("é", "É"));
    EXPECT_FALSE(EqualsIgnoreCase("LAB ", "LAB"));
    // Ordered as SQLite's NOCASE orders: '_' before letters.
    EXPECT_LT(CompareIgnoreCase("_x", "a"), 0);
    EXPECT_GT(CompareIgnoreCase("None", "\\\\srv\\p"), 0);
    // The smallest and largest three- and four-byte forms, and the overlong ones below them.
    for (const char* valid :
         {"\xe0\xa0\x80", "\xef\xbf\xbf", "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf"})
        EXPECT_TRUE(IsValidUtf8(valid));
    for (const char* invalid :
         {"\xe0\x9f\xbf", "\xed\xa0\x80", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xc1\xbf"})
        EXPECT_FALSE(IsValidUtf8(invalid));
}

TEST(Host, TheComputerNameIsTheNetBiosName)
{
    EXPECT_EQ(NetBiosName("lab12.example.org"), "LAB12");
    EXPECT_EQ(NetBiosName("workstation-number-twelve"), "WORKSTATION-NUM");
    EXPECT_EQ(NetBiosName("b\xc3\xbcro"), "B\xc3\xbcRO") << "only ASCII letters change";
}
