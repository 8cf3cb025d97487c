#pragma once

#include "platform/print/cupsdrivers.h"
#include "platform/print/logins.h"
#include "platform/print/printsystem.h"
#include "platform/smb/smbpath.h"

#include <cups/ipp.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CupsConnection;

// A queue as the scheduler reports it. CUPS leaves any credentials out of the device URI.
struct CupsQueue {
    std::string name;
    std::string deviceUri;
    std::string location;
    bool accepting = true;
    int state = IPP_PSTATE_IDLE;
    std::vector<std::string> allowed;             // the users CUPS lets print to it; empty: anyone
    std::string driver;                           // the driver it was made with here; empty: raw
    std::vector<std::string> authInfo = {"none"}; // auth-info-required

    // The share its device URI prints to; nothing for a queue of another kind.
    std::optional<UncPath> Share() const;
    // The users of the queue's mark; nothing for a queue somebody else made.
    std::optional<std::vector<std::string>> Users() const;
    bool PrintsTo(const UncPath& path) const;
};

// The queues made for one user: each carries a mark naming the users it was made for (see
// queuemark.h) and lets only them print, and only marked queues are changed or removed.
// The client does this work for its own user where CUPS lets it; wdprintd does it for a
// caller who may not.
class QueueKeeper
{
public:
    using LoginCheck = std::function<bool(const std::string& user)>;
    // loggedIn: whether a user has a session, for retiring the marks of departed users at
    // the first listing; null: no mark but the user's own is ever changed.
    QueueKeeper(std::string user, LoginCheck loggedIn);
    ~QueueKeeper();

    const std::string& User() const { return user_; }
    // The queue for the share, after this call the user's: one made for the user (enabled
    // if it was not), an administrator's used as it is, another user's with this user added
    // to its mark, or a new one; a marked queue gets the setup's driver and logon where it
    // has others. Its name. Throws PrintError.
    std::string Connect(const UncPath& path, const QueueSetup& setup);
    // Takes the user off the mark of the user's queue for the share; the queue goes with
    // its last user. listedName names it in messages. Throws PrintError.
    void Remove(const UncPath& path, const std::string& listedName);

    bool IsMine(const CupsQueue& queue) const;
    // The queue that serves a share for this user: one made for the user, else one an
    // administrator made, else one made for other users; null when none prints to it.
    const CupsQueue* QueueFor(const std::vector<CupsQueue>& queues, const UncPath& path) const;
    // The queues as last listed, with this object's own changes since; with a login check,
    // the first listing retires the marks of users who have no session any more.
    std::vector<CupsQueue>& Known();
    // Drops what Known() holds: another program changed the queues.
    void Forget() { known_.reset(); }
    // One connection to the scheduler for all the requests of a run.
    CupsConnection& Cups();

private:
    std::vector<CupsQueue> Queues();
    void KeepFor(const std::string& queueName, const std::vector<std::string>& users);
    void RetireDepartedUsers(std::vector<CupsQueue>& queues);

    std::unique_ptr<CupsConnection> cups_;
    DriverFiles drivers_;
    std::string user_;
    LoginCheck loggedIn_;
    bool retired_ = false;
    std::unique_ptr<std::vector<CupsQueue>> known_; // null until the first listing
};
