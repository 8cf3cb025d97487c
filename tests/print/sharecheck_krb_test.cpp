// The share check with the user's Kerberos ticket, against the private domain controller of
// scripts/krbserver; run in its namespace (krbserver exec), where the DC's name resolves.

#include "tests/print/checkoutcome.h"
#include "tests/support/tempdir.h"
#include "tests/support/testservers.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

using namespace std::chrono_literals;

// kinit as the domain user into the cache that KRB5CCNAME names.
void GetTicket(const TestServers& dc)
{
    QProcess kinit;
    kinit.start("kinit", {QString::fromStdString(dc.Get("KRB_USER"))});
    kinit.write((dc.Get("KRB_PASSWORD") + "\n").c_str());
    kinit.closeWriteChannel();
    ASSERT_TRUE(kinit.waitForFinished(20000));
    ASSERT_EQ(kinit.exitCode(), 0) << kinit.readAllStandardError().toStdString();
}

TEST(ShareCheckWithTicket, TheDomainsShareIsFoundWithTheTicketAndWithoutOneItSaysSo)
{
    const TestServers dc = TestServers::LoadKerberos();
    const TempDir home;
    setenv("KRB5_CONFIG", dc.Get("KRB_CONFIG").c_str(), 1);
    setenv("KRB5CCNAME", ("FILE:" + home.File("ccache")).c_str(), 1);
    const std::string server = dc.Get("KRB_DC_NAME"), share = dc.Get("KRB_SHARE");
    const UncPath laser{server, share}, sysvol{server, "sysvol"};
    const std::string unc = "\"\\\\" + server + "\\" + share + "\"";

    ShareCheck before(10s);
    EXPECT_EQ(Outcome(before, laser, CheckLogon::UserTicket),
              "unchecked: The user has no Kerberos ticket to log on to the print server \"" +
                  server + "\" with: log on again, or get one with kinit.");

    GetTicket(dc);
    // One object, both logons: neither answer stands in for the other.
    // A domain controller just started can be slow to its first logons on a busy machine.
    ShareCheck check(30s);
    check.Prepare({laser, sysvol}, CheckLogon::Anonymous);
    const std::vector<std::tuple<UncPath, CheckLogon, std::string>> cases = {
        {laser, CheckLogon::UserTicket, "printer"},
        {laser, CheckLogon::Anonymous,
         "unchecked: " + unc + " admits no guest: it can be checked only with the user's logon."},
        {sysvol, CheckLogon::UserTicket,
         "error: \"\\\\" + server + "\\sysvol\" is a shared folder"},
        {{server, "nosuch"},
         CheckLogon::UserTicket,
         "error: The print server \"" + server + "\" has no share named \"nosuch\""},
    };
    for (const auto& [path, logon, expected] : cases) {
        const std::string outcome = Outcome(check, path, logon);
        EXPECT_EQ(outcome.substr(0, expected.size()), expected) << outcome;
    }
}

} // namespace
