// The share check against the private servers of scripts/testservers: one that offers every
// SMB2 dialect, one that speaks SMB 3.1.1 only, one that speaks SMB1 only, one that requires
// encryption, and a printer share that admits no guest.

#include "platform/smb/smbtreeconnect.h"
#include "tests/print/checkoutcome.h"
#include "tests/support/testservers.h"

#include <gtest/gtest.h>

namespace
{

using namespace std::chrono_literals;

class ShareCheckTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { servers_ = std::make_unique<TestServers>(TestServers::Load()); }
    static std::string Env(const std::string& key) { return servers_->Get(key); }
    static UncPath Path(const std::string& hostKey, const std::string& share)
    {
        return {Env(hostKey), share};
    }

    static inline std::unique_ptr<TestServers> servers_;
};

TEST_F(ShareCheckTest, EachKindOfServerAnswersAnonymouslyForWhatItIs)
{
    const std::string laser = Env("SMB_SHARE_LASER"), disk = Env("SMB_SHARE_DISK");
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"SMB_HOST", laser, "printer"},
        {"SMB_ONLY311_HOST", laser, "printer"},
        {"SMB_ONLY311_HOST", disk,
         "error: \"\\\\" + Env("SMB_ONLY311_HOST") + "\\" + disk + "\" is a shared folder"},
        {"SMB_ONLY1_HOST", laser, "printer"},
        {"SMB_ONLY1_HOST", disk,
         "error: \"\\\\" + Env("SMB_ONLY1_HOST") + "\\" + disk + "\" is a shared folder"},
        {"SMB_ONLY1_HOST", "nosuch", "error: The print server"},
        // It answers: it wants what an anonymous logon cannot give.
        {"SMB_ENCRYPTED_HOST", laser,
         "unchecked: The print server \"" + Env("SMB_ENCRYPTED_HOST") +
             "\" admits no anonymous logon"},
        {"SMB_HOST", Env("SMB_SHARE_PRIVATE"),
         "unchecked: \"\\\\" + Env("SMB_HOST") + "\\" + Env("SMB_SHARE_PRIVATE") +
             "\" admits no guest: it can be checked only with the user's logon."},
    };
    // Each asked on its own, and all prepared at once.
    ShareCheck prepared(3s);
    std::vector<UncPath> paths;
    for (const auto& [host, share, expected] : cases)
        paths.push_back(Path(host, share));
    prepared.Prepare(paths, CheckLogon::Anonymous);
    for (const auto& [host, share, expected] : cases) {
        ShareCheck alone(3s);
        for (ShareCheck* check : {&alone, &prepared}) {
            const std::string outcome = Outcome(*check, Path(host, share), CheckLogon::Anonymous);
            EXPECT_EQ(outcome.substr(0, expected.size()), expected) << host << " " << share;
        }
    }
}

TEST_F(ShareCheckTest, AServerOfSmb311OnlyTellsByTreeConnectsWithoutAListing)
{
    // A listing would tell too, only slower.
    const std::string laser = Env("SMB_SHARE_LASER");
    const ShareTypes types =
        AskShareTypes(Env("SMB_ONLY311_HOST"), {laser}, std::chrono::steady_clock::now() + 3s);
    EXPECT_FALSE(types.unsure);
    EXPECT_EQ(types.kinds, (std::map<std::string, SmbKind>{{laser, SmbKind::PrinterShare}}));
}

} // namespace
