// Rule names against client names, and placeholder expansion.

#include "client/uncmap.h"
#include "platform/host/brevutil.h"

#include <ctime>
#include <gtest/gtest.h>

namespace
{

struct Case {
    const char* rule;
    const char* name;
    bool matches;
};

std::string Strftime(const char* format)
{
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[128];
    return std::string(buf, std::strftime(buf, sizeof buf, format, &local));
}

TBrevUtil Switches(std::vector<std::string> args)
{
    args.insert(args.begin(), "wdclient");
    return TBrevUtil(args);
}

} // namespace

TEST(RuleNameMatches, PatternsAgainstNames)
{
    // Prefix and suffix may overlap; only a-z change case; the query compares exactly, so
    // a pattern without '*' that merely begins the name never reaches this test.
    const Case cases[] = {
        {"LAB*", "LAB12", true},     {"LAB*", "lab7", true},       {"LAB*", "LA", false},
        {"*-PC", "ROOM1-PC", true},  {"*-PC", "ROOM1-PC2", false}, {"AB*BC", "ABBC", true},
        {"AB*BC", "ABXBC", true},    {"AB*BC", "ABC", true},       {"AB*BC", "AB", false},
        {"AB*BC", "ABCD", false},    {"A*X*Z", "AXZ", true},       {"A*X*Z", "AQRXZ", true},
        {"A*X*Z", "AXQZ", false},    {"*", "", true},              {"**", "", true},
        {"*TOOLONG", "X", false},    {"TOOLONG*", "X", false},     {"pc01", "PC01", true},
        {"PC0", "PC01", true},       {"ÉCOLE*", "école1", false},  {"école*", "école1", true},
        {"LAB12 ", "LAB12", false},  {"", "X", true},              {"*a*", "A", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RuleNameMatches(c.rule, c.name), c.matches)
            << "rule \"" << c.rule << "\" name \"" << c.name << "\"";
}

TEST(ExpandVariables, SwitchBeatsBuiltInBeatsEnvironment)
{
    setenv("USERNAME", "env-user", 1);
    setenv("WD_ROOM", "R12", 1);
    setenv("HOSTNAME", "env-host", 1);
    TBrevUtil plain = Switches({});
    std::string user = plain.CurrentUserName();
    EXPECT_EQ(ExpandVariables("\\\\s\\%username%", plain), "\\\\s\\" + user);
    EXPECT_EQ(ExpandVariables("%UserName%|%USERNAME%", plain), user + "|" + user);
    EXPECT_EQ(ExpandVariables("%wd_room%", plain), "R12");
    std::string host, ip;
    plain.GetHostInfo(host, ip);
    EXPECT_EQ(ExpandVariables("%HOSTNAME%/%IPADDRESS%", plain), host + "/" + ip);
    EXPECT_EQ(ExpandVariables("%STARTDIR%", plain), plain.getstartdir());

    TBrevUtil switched = Switches({"/HOSTNAME=sw-host", "-wd_room:", "/USERNAME=sw-user"});
    EXPECT_EQ(ExpandVariables("%hostname%", switched), "sw-host");
    EXPECT_EQ(ExpandVariables("[%WD_ROOM%]", switched), "[]") << "an empty switch still wins";
    EXPECT_EQ(ExpandVariables("%USERNAME%", switched), "sw-user");
}

TEST(ExpandVariables, NamesAreTakenVerbatim)
{
    TBrevUtil u = Switches({"/A=%USERNAME%", "/B=100%"});
    EXPECT_EQ(ExpandVariables("", u), "");
    EXPECT_EQ(ExpandVariables("\\\\srv\\plain", u), "\\\\srv\\plain");
    EXPECT_EQ(ExpandVariables("\\\\srv\\%NO_SUCH_THING_XYZ%", u), "\\\\srv\\");
    EXPECT_EQ(ExpandVariables("a%%b", u), "ab") << "an empty name resolves to nothing";
    EXPECT_EQ(ExpandVariables("% USERNAME%", u), "") << "blanks belong to the name";
    EXPECT_EQ(ExpandVariables("%A%", u), "%USERNAME%") << "values are not scanned again";
    EXPECT_EQ(ExpandVariables("%B%%B%", u), "100%100%");
    EXPECT_EQ(ExpandVariables("x%A", u), "x%A") << "an unclosed '%' is copied as it is";
    EXPECT_EQ(ExpandVariables("%B%%", u), "100%%");
}

TEST(ExpandVariables, DateAndTimeInTheLocaleFormats)
{
    TBrevUtil u = Switches({});
    std::string before = Strftime("%x|%X");
    std::string got = ExpandVariables("%DATE%|%TIME%", u);
    std::string after = Strftime("%x|%X");
    EXPECT_TRUE(got == before || got == after) << got;
}
