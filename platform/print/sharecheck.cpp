#include "platform/print/sharecheck.h"

#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbserver.h"
#include "platform/smb/smbtreeconnect.h"

#include <thread>

using Clock = std::chrono::steady_clock;

bool ShareCheck::Answer::Covers(const std::string& share) const
{
    return !error.empty() || everyShare || asked.count(share) > 0;
}

ShareCheck::Answer AskServer(const std::string& server, const std::vector<std::string>& shares,
                             Clock::time_point deadline)
{
    ShareCheck::Answer answer;
    const ShareTypes types = AskShareTypes(server, shares, deadline);
    if (!types.unsure) {
        if (types.error != 0)
            answer.error = ServerErrorText(server, types.error);
        for (const std::string& share : shares)
            answer.asked.insert(UpperCaseAscii(share));
        for (const auto& [share, kind] : types.kinds)
            answer.kinds.emplace(UpperCaseAscii(share), kind);
        return answer;
    }
    const SmbListing listing = ReadServerShares(server, deadline);
    if (listing.error != 0)
        answer.error = ServerErrorText(server, listing.error);
    answer.everyShare = true;
    // The first of names that differ only in case, as the server lists them.
    for (const SmbEntry& entry : listing.entries)
        answer.kinds.emplace(UpperCaseAscii(entry.name), entry.kind);
    return answer;
}

void ShareCheck::Keep(const std::string& key, Answer answer)
{
    auto known = servers_.find(key);
    if (known == servers_.end() || answer.everyShare || !answer.error.empty()) {
        servers_[key] = std::move(answer);
        return;
    }
    known->second.kinds.merge(answer.kinds);
    known->second.asked.merge(answer.asked);
}

const ShareCheck::Answer& ShareCheck::Ask(const UncPath& path)
{
    const std::string key = UpperCaseAscii(path.server);
    const std::string share = UpperCaseAscii(path.share);
    if (auto prepared = asking_.find(key); prepared != asking_.end()) {
        Answer answer = prepared->second.get();
        asking_.erase(prepared);
        Keep(key, std::move(answer));
    }
    if (auto known = servers_.find(key); known == servers_.end() || !known->second.Covers(share))
        Keep(key, AskServer(path.server, {path.share}, Clock::now() + limit_));
    return servers_.at(key);
}

void ShareCheck::Prepare(const std::vector<UncPath>& paths)
{
    std::map<std::string, std::pair<std::string, std::vector<std::string>>> byServer;
    for (const UncPath& path : paths) {
        const std::string key = UpperCaseAscii(path.server);
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
            [server = asked.first, shares = asked.second, deadline] {
                return AskServer(server, shares, deadline);
            });
        asking_[key] = task.get_future().share();
        std::thread(std::move(task)).detach();
    }
}

void ShareCheck::Check(const UncPath& path)
{
    const Answer& answer = Ask(path);
    if (!answer.error.empty())
        throw PrintServerUnreachable(answer.error);
    const auto share = answer.kinds.find(UpperCaseAscii(path.share));
    const std::string text = "\"" + UncText(path) + "\"";
    if (share == answer.kinds.end())
        throw PrintError("The print server \"" + path.server + "\" has no share named \"" +
                         path.share + "\": " + text + " does not exist.");
    if (share->second == SmbKind::DiskShare)
        throw PrintError(text + " is a shared folder, not a printer.");
    if (share->second != SmbKind::PrinterShare)
        throw PrintError(text + " is not a printer share.");
}
