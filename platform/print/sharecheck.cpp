#include "platform/print/sharecheck.h"

#include "platform/print/printsystem.h"
#include "platform/print/smbshares.h"
#include "platform/smb/smbreach.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{

std::string UnreachableText(const std::string& server, int error)
{
    const std::string subject = "The print server \"" + server + "\" ";
    switch (error) {
    case ETIMEDOUT:
        return subject + "does not answer.";
    case ECONNREFUSED:
        return subject + "refuses connections on the SMB port (445).";
    default:
        return subject + "cannot be reached: " + std::strerror(error) + ".";
    }
}

} // namespace

const ShareCheck::Answer& ShareCheck::Ask(const std::string& server)
{
    std::string key = server;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    if (auto known = servers_.find(key); known != servers_.end())
        return known->second;
    Answer answer;
    try {
        const auto deadline = std::chrono::steady_clock::now() + limit_;
        // A name only NetBIOS knows is left to libsmbclient, which asks by broadcast.
        int error = 0;
        if (ReachSmbPort(server, deadline, &error) == SmbReach::NoAnswer)
            throw PrintError(UnreachableText(server, error));
        answer.shares = ListShares(server, deadline);
    } catch (const PrintError& e) {
        answer.error = e.what();
    }
    return servers_.emplace(key, std::move(answer)).first->second;
}

void ShareCheck::Check(const UncPath& path)
{
    const Answer& answer = Ask(path.server);
    if (!answer.error.empty())
        throw PrintError(answer.error);
    const auto share =
        std::find_if(answer.shares.begin(), answer.shares.end(),
                     [&path](const SmbShare& s) { return EqualIgnoringCase(s.name, path.share); });
    const std::string text = "\"" + UncText(path) + "\"";
    if (share == answer.shares.end())
        throw PrintError("The print server \"" + path.server + "\" has no share named \"" +
                         path.share + "\": " + text + " does not exist.");
    if (share->kind == SmbShare::Kind::Disk)
        throw PrintError(text + " is a shared folder, not a printer.");
    if (share->kind != SmbShare::Kind::Printer)
        throw PrintError(text + " is not a printer share.");
}
