#include "platform/print/cupsprintsystem.h"

#include "platform/host/textutil.h"
#include "platform/print/cupsconnection.h"
#include "platform/print/queuemark.h"
#include "platform/print/queuename.h"
#include "platform/print/sharecheck.h"
#include "platform/smb/smberror.h"
#include "platform/smb/smbpath.h"

#include <cups/cups.h>

#include <algorithm>
#include <iterator>
#include <optional>

// A queue as the scheduler reports it. CUPS leaves any credentials out of the device URI.
struct CupsQueue {
    std::string name;
    std::string deviceUri;
    std::string location;
    bool accepting = true;
    int state = IPP_PSTATE_IDLE;

    std::optional<UncPath> Share() const { return UncFromSmbUri(deviceUri); }
    std::optional<std::vector<std::string>> Users() const { return UsersOfMark(location); }
    bool PrintsTo(const UncPath& path) const
    {
        const auto share = Share();
        return share && SamePrinter(*share, path);
    }
};

namespace
{

using Queue = CupsQueue;

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

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

void ReadAttribute(Queue& queue, ipp_attribute_t* attribute)
{
    const std::string name = ippGetName(attribute);
    const char* text = ippGetString(attribute, 0, nullptr);
    if (name == "printer-name" && text != nullptr)
        queue.name = text;
    else if (name == "device-uri" && text != nullptr)
        queue.deviceUri = text;
    else if (name == "printer-location" && text != nullptr)
        queue.location = text;
    else if (name == "printer-is-accepting-jobs")
        queue.accepting = ippGetBoolean(attribute, 0) != 0;
    else if (name == "printer-state")
        queue.state = ippGetInteger(attribute, 0);
}

// The scheduler's queues and classes, in its order (by name).
std::vector<Queue> ListQueues(CupsConnection& cups)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const attributes[] = {"printer-name", "device-uri", "printer-location",
                                             "printer-is-accepting-jobs", "printer-state"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 5,
                  nullptr, attributes);
    IppPtr response = cups.SendAllowingNotFound(std::move(request), "Cannot list the printers");
    std::vector<Queue> queues;
    if (response == nullptr)
        return queues;
    Queue current;
    const auto flush = [&queues, &current] {
        if (!current.name.empty())
            queues.push_back(current);
        current = Queue();
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(response.get()); attribute != nullptr;
         attribute = ippNextAttribute(response.get())) {
        if (ippGetName(attribute) == nullptr || ippGetGroupTag(attribute) != IPP_TAG_PRINTER)
            flush();
        else
            ReadAttribute(current, attribute);
    }
    flush();
    return queues;
}

std::vector<std::string> NamesOf(const std::vector<Queue>& queues)
{
    std::vector<std::string> names;
    for (const Queue& queue : queues)
        names.push_back(queue.name);
    return names;
}

void AddQueue(CupsConnection& cups, const std::string& name, const UncPath& path,
              const std::string& mark)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, name);
    ipp_t* ipp = request.get();
    ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, SmbUri(path).c_str());
    ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr,
                 UncText(path).c_str());
    ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-location", nullptr, mark.c_str());
    ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-shared", 0);
    ippAddInteger(ipp, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    cups.Send(std::move(request),
              "Cannot set up the printer " + Quoted(UncText(path)) + " as queue " + Quoted(name));
}

void EnableQueue(CupsConnection& cups, const Queue& queue)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue.name);
    ippAddBoolean(request.get(), IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddInteger(request.get(), IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    cups.Send(std::move(request), "Cannot enable the printer queue " + Quoted(queue.name));
}

void MarkQueue(CupsConnection& cups, const Queue& queue, const std::vector<std::string>& users)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue.name);
    ippAddString(request.get(), IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-location", nullptr,
                 QueueMark(users).c_str());
    cups.Send(std::move(request),
              "Cannot record the users of the printer queue " + Quoted(queue.name));
}

void DeleteQueue(CupsConnection& cups, const Queue& queue, const std::string& listedName)
{
    cups.Send(CupsConnection::NewRequest(IPP_OP_CUPS_DELETE_PRINTER, queue.name),
              "Cannot remove the printer " + Quoted(listedName));
}

std::vector<std::string> Without(std::vector<std::string> users, const std::string& user)
{
    users.erase(std::remove(users.begin(), users.end(), user), users.end());
    return users;
}

} // namespace

CupsPrintSystem::CupsPrintSystem(std::chrono::milliseconds checkLimit, LoginCheck loggedIn)
    : shares_(checkLimit), user_(cupsUser()), loggedIn_(std::move(loggedIn))
{
}

CupsPrintSystem::~CupsPrintSystem() = default;

CupsConnection& CupsPrintSystem::Cups()
{
    if (!cups_)
        cups_ = std::make_unique<CupsConnection>();
    return *cups_;
}

bool CupsPrintSystem::IsMine(const Queue& queue) const
{
    const auto users = queue.Users();
    return users && Contains(*users, user_);
}

std::vector<Queue> CupsPrintSystem::Queues()
{
    std::vector<Queue> queues = ListQueues(Cups());
    if (!retired_) {
        retired_ = true;
        RetireDepartedUsers(queues);
    }
    known_ = std::make_unique<std::vector<Queue>>(queues);
    return queues;
}

std::vector<Queue>& CupsPrintSystem::KnownQueues()
{
    if (!known_)
        Queues();
    return *known_;
}

void CupsPrintSystem::KeepFor(const std::string& queueName, const std::vector<std::string>& users)
{
    std::vector<Queue>& known = KnownQueues();
    for (auto queue = known.begin(); queue != known.end(); ++queue) {
        if (queue->name != queueName)
            continue;
        if (users.empty())
            known.erase(queue);
        else
            queue->location = QueueMark(users);
        return;
    }
}

// Queues made for users who have no session any more go, so that a shared workstation does
// not gather every earlier user's printers; their next logon makes them again. Refusals are
// ignored: a user outside lpadmin may not tidy up.
void CupsPrintSystem::RetireDepartedUsers(std::vector<Queue>& queues)
{
    for (auto queue = queues.begin(); queue != queues.end();) {
        const auto users = queue->Users();
        std::vector<std::string> staying;
        if (users)
            std::copy_if(users->begin(), users->end(), std::back_inserter(staying),
                         [this](const std::string& u) { return u == user_ || loggedIn_(u); });
        try {
            if (users && staying.empty()) {
                DeleteQueue(Cups(), *queue, queue->name);
                queue = queues.erase(queue);
                continue;
            }
            if (users && staying.size() < users->size()) {
                MarkQueue(Cups(), *queue, staying);
                queue->location = QueueMark(staying);
            }
        } catch (const PrintError&) {
        }
        ++queue;
    }
}

// The queue that serves a path for this user: one made for the user, else one an
// administrator made, else one made for other users.
const Queue* CupsPrintSystem::QueueFor(const std::vector<Queue>& queues, const UncPath& path) const
{
    const Queue* found[3] = {nullptr, nullptr, nullptr};
    for (const Queue& queue : queues) {
        if (!queue.PrintsTo(path))
            continue;
        const int rank = IsMine(queue) ? 0 : !queue.Users() ? 1 : 2;
        if (found[rank] == nullptr)
            found[rank] = &queue;
    }
    return found[0] ? found[0] : found[1] ? found[1] : found[2];
}

void CupsPrintSystem::CheckShare(const std::string& path)
{
    shares_.Check(PrinterPath(path));
}

void CupsPrintSystem::Connect(const std::string& path)
{
    const UncPath unc = PrinterPath(path);
    shares_.Check(unc);
    const std::vector<Queue> queues = Queues();
    const Queue* queue = QueueFor(queues, unc);
    if (queue == nullptr) {
        Queue made{QueueNameFor(unc, NamesOf(queues)), SmbUri(unc), QueueMark({user_})};
        AddQueue(Cups(), made.name, unc, made.location);
        KnownQueues().push_back(made);
    } else if (IsMine(*queue)) {
        // Only what differs is sent: a user outside lpadmin may not change queues at all.
        if (!queue->accepting || queue->state == IPP_PSTATE_STOPPED)
            EnableQueue(Cups(), *queue);
    } else if (const auto users = queue->Users()) {
        try {
            std::vector<std::string> more = *users;
            more.push_back(user_);
            MarkQueue(Cups(), *queue, more);
            KeepFor(queue->name, more);
        } catch (const PrintError&) {
            // The queue prints all the same; only recording this user needs lpadmin.
        }
    }
    // An administrator's queue for the share is used as it is.
}

void CupsPrintSystem::Remove(const std::string& listedName)
{
    if (!IsNetworkPath(listedName))
        throw PrintError(Quoted(listedName) +
                         " is a local printer, not a network printer connection; it is kept.");
    const Queue* found = QueueFor(KnownQueues(), PrinterPath(listedName));
    if (found == nullptr)
        throw PrintError("The printer " + Quoted(listedName) + " is not connected.");
    const Queue queue = *found;
    if (!IsMine(queue))
        throw PrintError("The printer queue " + Quoted(queue.name) + " for " + Quoted(listedName) +
                         " was not made for this user; it is kept.");
    const std::vector<std::string> others = Without(*queue.Users(), user_);
    if (others.empty())
        DeleteQueue(Cups(), queue, listedName);
    else
        MarkQueue(Cups(), queue, others);
    KeepFor(queue.name, others);
}

// The queue named by a network path or by a queue name, as CUPS spells it.
std::string CupsPrintSystem::QueueNamed(const std::string& name)
{
    const std::vector<Queue>& queues = KnownQueues();
    if (IsNetworkPath(name)) {
        const Queue* queue = QueueFor(queues, PrinterPath(name));
        if (queue == nullptr)
            throw PrintError("The printer " + Quoted(name) + " is not connected.");
        return queue->name;
    }
    const auto found = std::find_if(queues.begin(), queues.end(), [&name](const Queue& queue) {
        return EqualsIgnoreCase(queue.name, name);
    });
    if (found == queues.end())
        throw PrintError("There is no printer named " + Quoted(name) + ".");
    return found->name;
}

void CupsPrintSystem::SetDefault(const std::string& name)
{
    const std::string queue = QueueNamed(name);
    Destinations dests(Cups());
    bool found = false;
    for (cups_dest_t& dest : dests) {
        const bool chosen = dest.instance == nullptr && EqualsIgnoreCase(dest.name, queue);
        dest.is_default = chosen ? 1 : 0;
        found = found || chosen;
    }
    if (!found)
        throw PrintError("The printer " + Quoted(name) + " is not among the user's printers.");
    // Writes the user's ~/.cups/lpoptions, as lpoptions -d does (root's too, with CUPS 2.4).
    if (cupsSetDests2(Cups().get(), dests.count(), dests.begin()) != 0)
        throw PrintError("Cannot save " + Quoted(name) +
                         " as the default printer: " + cupsLastErrorString() + ".");
}

void CupsPrintSystem::Prepare(const std::vector<std::string>& paths)
{
    std::vector<UncPath> shares;
    for (const std::string& path : paths) {
        try {
            shares.push_back(ParseUncPath(path));
        } catch (const SmbError&) {
            // Connect reports it.
        }
    }
    shares_.Prepare(shares);
}

std::vector<std::string> CupsPrintSystem::InstalledPrinters()
{
    std::vector<std::string> names;
    for (const Queue& queue : Queues()) {
        const auto path = queue.Share();
        names.push_back(path && IsMine(queue) ? UncText(*path) : queue.name);
    }
    return names;
}
