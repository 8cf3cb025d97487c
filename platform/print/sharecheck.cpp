#include "platform/print/sharecheck.h"

#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbserver.h"

#include <algorithm>

const ShareCheck::Answer& ShareCheck::Ask(const std::string& server)
{
    const std::string key = UpperCaseAscii(server);
    if (auto known = servers_.find(key); known != servers_.end())
        return known->second;
    const SmbListing listing =
        asking_.Holds(key) ? asking_.Take(key)
                           : ReadServerShares(server, std::chrono::steady_clock::now() + limit_);
    Answer answer{listing.entries,
                  listing.error != 0 ? ServerErrorText(server, listing.error) : ""};
    return servers_.emplace(key, std::move(answer)).first->second;
}

void ShareCheck::Prepare(const std::vector<UncPath>& paths)
{
    for (const UncPath& path : paths) {
        const std::string key = UpperCaseAscii(path.server);
        if (servers_.count(key) == 0)
            asking_.Add(key, [server = path.server, limit = limit_] {
                return StartServerShares(server, std::chrono::steady_clock::now() + limit);
            });
    }
}

void ShareCheck::Check(const UncPath& path)
{
    const Answer& answer = Ask(path.server);
    if (!answer.error.empty())
        throw PrintServerUnreachable(answer.error);
    const auto share =
        std::find_if(answer.shares.begin(), answer.shares.end(),
                     [&path](const SmbEntry& s) { return EqualsIgnoreCase(s.name, path.share); });
    const std::string text = "\"" + UncText(path) + "\"";
    if (share == answer.shares.end())
        throw PrintError("The print server \"" + path.server + "\" has no share named \"" +
                         path.share + "\": " + text + " does not exist.");
    if (share->kind == SmbKind::DiskShare)
        throw PrintError(text + " is a shared folder, not a printer.");
    if (share->kind != SmbKind::PrinterShare)
        throw PrintError(text + " is not a printer share.");
}
