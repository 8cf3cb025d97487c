#include "platform/print/sharecheck.h"

#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbserver.h"
#include "platform/smb/smbtreeconnect.h"

#include <cerrno>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace
{

std::string NoGuestText(const std::string& server)
{
    return "The print server " + Quoted(server) +
           " admits no anonymous logon (it admits no guest, or it requires encryption): its "
           "printers can be checked only with the user's logon.";
}

std::string DeniedText(const UncPath& path)
{
    return Quoted(UncText(path)) +
           " admits no guest: it can be checked only with the user's logon.";
}

std::string NoTicketText(const std::string& server)
{
    return "The user has no Kerberos ticket to log on to the print server " + Quoted(server) +
           " with: log on again, or get one with kinit.";
}

std::string RefusedText(const std::string& server)
{
    return "The print server " + Quoted(server) +
           " refuses the logon with the user's Kerberos ticket (access denied).";
}

// What a listing of every share says, logged on as `logon`.
ShareCheck::Answer FromListing(const std::string& server, const SmbListing& listing,
                               CheckLogon logon)
{
    ShareCheck::Answer answer;
    answer.everyShare = true;
    switch (listing.error) {
    case 0:
        break;
    case ENOKEY:
        answer.unchecked = NoTicketText(server);
        break;
    case EACCES:
    case EPERM:
        if (logon == CheckLogon::UserTicket)
            answer.refused = RefusedText(server);
        else
            answer.unchecked = NoGuestText(server);
        break;
    default:
        answer.error = ServerErrorText(server, listing.error);
    }
    // The first of names that differ only in case, as the server lists them.
    for (const SmbEntry& entry : listing.entries)
        answer.kinds.emplace(UpperCaseAscii(entry.name), entry.kind);
    return answer;
}

// What tree connects said. Of a share that admits no guest, a listing may still tell the kind.
ShareCheck::Answer FromTreeConnects(const std::string& server,
                                    const std::vector<std::string>& shares, const ShareTypes& types,
                                    Clock::time_point deadline)
{
    ShareCheck::Answer answer;
    if (types.error != 0)
        answer.error = ServerErrorText(server, types.error);
    if (types.noGuest)
        answer.unchecked = NoGuestText(server);
    for (const std::string& share : shares)
        answer.asked.insert(UpperCaseAscii(share));
    for (const auto& [share, kind] : types.kinds)
        answer.kinds.emplace(UpperCaseAscii(share), kind);
    for (const std::string& share : types.denied)
        answer.denied.insert(UpperCaseAscii(share));
    if (answer.denied.empty())
        return answer;
    for (const SmbEntry& entry : ReadServerShares(server, deadline).entries)
        if (answer.denied.count(UpperCaseAscii(entry.name)) > 0)
            answer.kinds.emplace(UpperCaseAscii(entry.name), entry.kind);
    return answer;
}

} // namespace

bool ShareCheck::Answer::Whole() const
{
    return everyShare || !error.empty() || !refused.empty() || !unchecked.empty();
}

bool ShareCheck::Answer::Covers(const std::string& share) const
{
    return Whole() || asked.count(share) > 0;
}

ShareCheck::Answer AskServer(const std::string& server, const std::vector<std::string>& shares,
                             CheckLogon logon, Clock::time_point deadline)
{
    if (logon == CheckLogon::UserTicket)
        return FromListing(server, ReadServerShares(server, deadline, SmbLogon::UserTicket), logon);
    const ShareTypes types = AskShareTypes(server, shares, deadline);
    if (types.unsure)
        return FromListing(server, ReadServerShares(server, deadline), logon);
    return FromTreeConnects(server, shares, types, deadline);
}

void ShareCheck::Keep(const Key& key, Answer answer)
{
    auto known = servers_.find(key);
    if (known == servers_.end() || answer.Whole()) {
        servers_[key] = std::move(answer);
        return;
    }
    known->second.kinds.merge(answer.kinds);
    known->second.asked.merge(answer.asked);
    known->second.denied.merge(answer.denied);
}

const ShareCheck::Answer& ShareCheck::Ask(const UncPath& path, CheckLogon logon)
{
    const Key key{UpperCaseAscii(path.server), logon};
    const std::string share = UpperCaseAscii(path.share);
    if (auto prepared = asking_.find(key); prepared != asking_.end()) {
        Answer answer = prepared->second.get();
        asking_.erase(prepared);
        Keep(key, std::move(answer));
    }
    if (auto known = servers_.find(key); known == servers_.end() || !known->second.Covers(share))
        Keep(key, AskServer(path.server, {path.share}, logon, Clock::now() + limit_));
    return servers_.at(key);
}

void ShareCheck::Prepare(const std::vector<UncPath>& paths, CheckLogon logon)
{
    std::map<Key, std::pair<std::string, std::vector<std::string>>> byServer;
    for (const UncPath& path : paths) {
        const Key key{UpperCaseAscii(path.server), logon};
        if (servers_.count(key) == 0 && asking_.count(key) == 0) {
            auto& [server, shares] = byServer[key];
            server = path.server;
            shares.push_back(path.share);
        }
    }
    const Clock::time_point deadline = Clock::now() + limit_;
    for (auto& [key, asked] : byServer) {
        // The thread owns what it touches and may outlive this object: a run that ends
        // before it checks a printer does not wait for its server.
        std::packaged_task<Answer()> task(
            [server = asked.first, shares = asked.second, logon, deadline] {
                return AskServer(server, shares, logon, deadline);
            });
        asking_[key] = task.get_future().share();
        std::thread(std::move(task)).detach();
    }
}

ShareVerdict ShareCheck::Check(const UncPath& path, CheckLogon logon)
{
    const Answer& answer = Ask(path, logon);
    if (!answer.error.empty())
        throw PrintServerUnreachable(answer.error);
    if (!answer.refused.empty())
        throw PrintError(answer.refused);
    if (!answer.unchecked.empty())
        return {false, answer.unchecked};
    const std::string name = UpperCaseAscii(path.share);
    const auto share = answer.kinds.find(name);
    const bool denied = answer.denied.count(name) > 0;
    const std::string text = Quoted(UncText(path));
    if (share == answer.kinds.end() && denied)
        return {false, DeniedText(path)};
    if (share == answer.kinds.end())
        throw PrintError("The print server " + Quoted(path.server) + " has no share named " +
                         Quoted(path.share) + ": " + text + " does not exist.");
    if (share->second == SmbKind::DiskShare)
        throw PrintError(text + " is a shared folder, not a printer.");
    if (share->second != SmbKind::PrinterShare)
        throw PrintError(text + " is not a printer share.");
    if (denied)
        return {false, DeniedText(path)};
    return {};
}
