#pragma once

#include "platform/smb/childprocess.h"
#include "platform/smb/uniquefd.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

enum class SmbKind : uint32_t { Workgroup, Server, PrinterShare, DiskShare, Other };

// One entry of an smb:// directory (names as raw UTF-8).
struct SmbEntry {
    SmbKind kind;
    std::string name;
    std::string comment;
};

// How a listing logs on: as a guest (anonymously), or with the user's Kerberos ticket and
// nothing else.
enum class SmbLogon { Guest, UserTicket };

enum class SmbDialects {
    Browsing, // SMB1 only: the browse lists (smb://, smb://WORKGROUP) exist only there
    Any,      // SMB1 up to the newest, on port 445: old print servers and current ones alike
};

struct SmbListing {
    int error = 0; // errno of an opening that failed (ETIMEDOUT: no answer by the deadline,
                   // ENETDOWN: no interface is up, ENOKEY: the user has no Kerberos ticket
                   // to log on with); 0 if read
    std::vector<SmbEntry> entries;
};

// A listing under way in a child process of its own. libsmbclient has no overall time-out:
// each exchange has its own, a silent port 139 holds it 20 s, and a server that answers
// slowly adds them up. A process can be stopped whatever it is doing, and, as libsmbclient
// has no thread support here, several can only run at once as processes. The child does the
// libsmbclient work only and ends with _exit.
class SmbListingRequest
{
public:
    // Starts reading a whole smb:// directory (smb://, smb://WORKGROUP or smb://SERVER),
    // logged on as `logon` says. With reachFirst (a server's listing), the child first
    // reaches that host's SMB port (see ReachSmbPort) and gives its error when it does not
    // answer.
    SmbListingRequest(const std::string& url, SmbDialects dialects,
                      std::chrono::steady_clock::time_point deadline,
                      const std::string& reachFirst = "", SmbLogon logon = SmbLogon::Guest);
    // Stops and reaps the child if it still runs.
    ~SmbListingRequest();
    SmbListingRequest(const SmbListingRequest&) = delete;
    SmbListingRequest& operator=(const SmbListingRequest&) = delete;

    // The listing, or error ETIMEDOUT when the child has not given it by the deadline.
    SmbListing Wait();

    // For waiting on several at once: the descriptor to poll for input (-1 once finished),
    // the deadline, and a read of what has come without blocking.
    int Fd() const { return answer_.get(); }
    std::chrono::steady_clock::time_point Deadline() const { return deadline_; }
    bool Finished() const { return finished_; }
    // Takes what the child has sent; finishes at its end, at an error or past the deadline.
    void Pump();

private:
    void Finish(int error);

    std::chrono::steady_clock::time_point deadline_;
    UniqueFd answer_;
    ChildProcess child_;
    std::string message_;
    bool finished_ = false;
    SmbListing result_;
};

// One listing, started and waited for.
SmbListing ReadSmbDirectory(const std::string& url, SmbDialects dialects,
                            std::chrono::steady_clock::time_point deadline);
