#include "platform/print/cupsprintsystem.h"

#include "platform/host/textutil.h"
#include "platform/print/cupsconnection.h"
#include "platform/print/cupsdrivers.h"
#include "platform/print/queuemark.h"
#include "platform/print/queuename.h"
#include "platform/print/sharecheck.h"
#include "platform/smb/smberror.h"
#include "platform/smb/smbpath.h"

#include <cups/cups.h>

#include <algorithm>
#include <iterator>
#include <optional>

namespace
{

// The destinations libcups knows for this user, freed when it goes.
class Destinations
{
public:
    explicit Destinations(CupsConnection& cups) { count_ = cupsGetDests2(cups.get(), &dests_); }
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    cups_dest_t* begin() const { return dests_; }
    cups_dest_t* end() const { return dests_ + count_; }
    int count() const { return count_; }

private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};

// A path as the printing system reports a bad one.
UncPath PrinterPath(const std::string& text)
{
    try {
        return ParseUncPath(text);
    } catch (const SmbError& e) {
        throw PrintError(e.what());
    }
}

// The check logs on as the jobs will: with the user's ticket, or anonymously (a password is
// the user's to give, at the first job).
CheckLogon CheckLogonFor(PrintLogon logon)
{
    return logon == PrintLogon::Kerberos ? CheckLogon::UserTicket : CheckLogon::Anonymous;
}

} // namespace

CupsPrintSystem::CupsPrintSystem(std::chrono::milliseconds checkLimit, LoginCheck loggedIn,
                                 std::string serviceSocket)
    : shares_(checkLimit),
      // The service tidies nothing of other users'; a user without it tidies what CUPS allows.
      keeper_(cupsUser(), serviceSocket.empty() ? std::move(loggedIn) : nullptr)
{
    if (!serviceSocket.empty())
        service_.emplace(std::move(serviceSocket));
}

CupsPrintSystem::~CupsPrintSystem() = default;

std::vector<PrinterDriver> CupsPrintSystem::Drivers()
{
    return ListDrivers(keeper_.Cups());
}

std::string CupsPrintSystem::Check(const UncPath& path, PrintLogon logon)
{
    const ShareVerdict verdict = shares_.Check(path, CheckLogonFor(logon));
    // A share that admits no guest is no printer a job could print to as a guest; with the
    // user's password or ticket the job logs on itself.
    if (!verdict.checked && logon == PrintLogon::None)
        throw PrintError(verdict.why + " Its jobs would be held: the site's print logon is none.");
    return verdict.checked ? "" : verdict.why;
}

std::string CupsPrintSystem::CheckShare(const std::string& path, PrintLogon logon)
{
    return Check(PrinterPath(path), logon);
}

void CupsPrintSystem::Connect(const std::string& path, const QueueSetup& setup)
{
    const UncPath unc = PrinterPath(path);
    Check(unc, setup.logon);
    if (!service_) {
        keeper_.Connect(unc, setup);
        return;
    }
    service_->Ask({QueueOperation::Connect, unc, ""});
    keeper_.Forget();
}

void CupsPrintSystem::Remove(const std::string& listedName)
{
    if (!IsNetworkPath(listedName))
        throw PrintError(Quoted(listedName) +
                         " is a local printer, not a network printer connection; it is kept.");
    const UncPath unc = PrinterPath(listedName);
    if (!service_) {
        keeper_.Remove(unc, listedName);
        return;
    }
    service_->Ask({QueueOperation::Remove, unc, ""});
    keeper_.Forget();
}

std::string CupsPrintSystem::QueueNamed(const std::string& name)
{
    const std::vector<CupsQueue>& queues = keeper_.Known();
    if (IsNetworkPath(name)) {
        const CupsQueue* queue = keeper_.QueueFor(queues, PrinterPath(name));
        if (queue == nullptr)
            throw PrintError("The printer " + Quoted(name) + " is not connected.");
        return queue->name;
    }
    const auto found = std::find_if(queues.begin(), queues.end(), [&name](const CupsQueue& queue) {
        return EqualsIgnoreCase(queue.name, name);
    });
    if (found == queues.end())
        throw PrintError("There is no printer named " + Quoted(name) + ".");
    return found->name;
}

void CupsPrintSystem::SetDefault(const std::string& name)
{
    const std::string queue = QueueNamed(name);
    Destinations dests(keeper_.Cups());
    bool found = false;
    for (cups_dest_t& dest : dests) {
        const bool chosen = dest.instance == nullptr && EqualsIgnoreCase(dest.name, queue);
        dest.is_default = chosen ? 1 : 0;
        found = found || chosen;
    }
    if (!found)
        throw PrintError("The printer " + Quoted(name) + " is not among the user's printers.");
    // Writes the user's ~/.cups/lpoptions, as lpoptions -d does (root's too, with CUPS 2.4).
    if (cupsSetDests2(keeper_.Cups().get(), dests.count(), dests.begin()) != 0)
        throw PrintError("Cannot save " + Quoted(name) +
                         " as the default printer: " + cupsLastErrorString() + ".");
}

void CupsPrintSystem::Prepare(const std::vector<std::string>& paths, PrintLogon logon)
{
    std::vector<UncPath> shares;
    for (const std::string& path : paths) {
        try {
            shares.push_back(ParseUncPath(path));
        } catch (const SmbError&) {
            // Connect reports it.
        }
    }
    shares_.Prepare(shares, CheckLogonFor(logon));
}

std::vector<std::string> CupsPrintSystem::InstalledPrinters()
{
    std::vector<std::string> names;
    keeper_.Forget();
    for (const CupsQueue& queue : keeper_.Known()) {
        const auto path = queue.Share();
        names.push_back(path && keeper_.IsMine(queue) ? UncText(*path) : queue.name);
    }
    return names;
}
