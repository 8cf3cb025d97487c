#include "platform/print/sharecheck.h"

#include "platform/print/printsystem.h"
#include "platform/print/smbportprobe.h"
#include "platform/print/smbshares.h"

#include <algorithm>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kMinimumSmbTimeout(1000);

} // namespace

void CheckPrinterShare(const UncPath& path, milliseconds limit)
{
    const Clock::time_point start = Clock::now();
    // A name only NetBIOS knows is left to libsmbclient, which asks by broadcast.
    ProbeSmbPort(path.server, start + limit * 5 / 6);
    const auto left = std::chrono::duration_cast<milliseconds>(start + limit - Clock::now());
    const std::vector<SmbShare> shares =
        ListShares(path.server, std::max(left, kMinimumSmbTimeout));

    const auto share = std::find_if(shares.begin(), shares.end(), [&path](const SmbShare& s) {
        return EqualIgnoringCase(s.name, path.share);
    });
    const std::string text = "\"" + UncText(path) + "\"";
    if (share == shares.end())
        throw PrintError("The print server \"" + path.server + "\" has no share named \"" +
                         path.share + "\": " + text + " does not exist.");
    if (share->kind == SmbShare::Kind::Disk)
        throw PrintError(text + " is a shared folder, not a printer.");
    if (share->kind != SmbShare::Kind::Printer)
        throw PrintError(text + " is not a printer share.");
}
