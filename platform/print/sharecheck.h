#pragma once

#include "platform/smb/smblisting.h"
#include "platform/smb/smbpath.h"

#include <chrono>
#include <future>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// How the check logs on: as the print job will. Anonymous for a site whose jobs log on as a
// guest or with a password CUPS asks for; UserTicket with the user's Kerberos ticket.
enum class CheckLogon { Anonymous, UserTicket };

struct ShareVerdict {
    bool checked = true; // false: the server wants a logon this check could not make
    std::string why;     // with checked false: what the server wants, for a person
};

// Makes sure that a server answers and offers a share as a printer ("does the printer still
// exist"). Anonymously, a server is asked for the shares in question with a tree connect
// each, and only when it will not tell that way does it list all its shares; with the user's
// ticket it lists them. Each server is asked once per object and logon, so a dead server
// costs its time once. Servers prepared beforehand are asked side by side, on threads of
// their own, while the caller does other work.
class ShareCheck
{
public:
    // A server gets `limit` in all, to accept a connection and to tell about its shares.
    explicit ShareCheck(std::chrono::milliseconds limit) : limit_(limit) {}

    // Starts asking the paths' servers that are not asked yet with this logon.
    void Prepare(const std::vector<UncPath>& paths, CheckLogon logon);
    // Throws PrintServerUnreachable when the server cannot be asked (no answer, unknown name,
    // refuses connections), PrintError when the share does not exist, is no printer share,
    // or the server refuses this logon outright (a ticket it does not accept). Returns
    // checked=false when the server admits no guest (or wants encryption an anonymous
    // session cannot give) and the check has no logon of the user's to offer.
    ShareVerdict Check(const UncPath& path, CheckLogon logon);

    // What a server said, by share name in upper case.
    struct Answer {
        std::string error;                    // why the server could not be asked
        std::string refused;                  // why the server refused the logon
        std::string unchecked;                // what the server wants that this logon cannot give
        std::map<std::string, SmbKind> kinds; // the shares that exist, as far as known
        std::set<std::string> denied;         // shares that exist and admit no guest
        bool everyShare = false;              // a listing: a share not in kinds does not exist
        std::set<std::string> asked;          // the shares asked about one by one
        bool Whole() const;                   // it tells of every share
        bool Covers(const std::string& share) const;
    };

private:
    using Key = std::pair<std::string, CheckLogon>; // server name in upper case, logon
    const Answer& Ask(const UncPath& path, CheckLogon logon);
    void Keep(const Key& key, Answer answer);

    std::chrono::milliseconds limit_;
    std::map<Key, Answer> servers_;
    std::map<Key, std::shared_future<Answer>> asking_; // prepared, not yet checked
};

// Asks one server about the shares, all before the deadline: anonymously by tree connects,
// else by a listing; with the user's ticket by a listing.
ShareCheck::Answer AskServer(const std::string& server, const std::vector<std::string>& shares,
                             CheckLogon logon, std::chrono::steady_clock::time_point deadline);
