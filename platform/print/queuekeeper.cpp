#include "platform/print/queuekeeper.h"

#include "platform/host/textutil.h"
#include "platform/print/cupsconnection.h"
#include "platform/print/cupsdrivers.h"
#include "platform/print/printsystem.h"
#include "platform/print/queuemark.h"
#include "platform/print/queuename.h"

#include <algorithm>
#include <iterator>

namespace
{

// Jobs that log on with the user's Kerberos ticket go through a backend of ours, which hands
// them to Samba's Kerberos wrapper: the stock smb backend does not find the ticket, and the
// queues of other programs keep it.
constexpr char kKerberosScheme[] = "wd";

std::string DeviceUri(const UncPath& path, PrintLogon logon)
{
    return (logon == PrintLogon::Kerberos ? kKerberosScheme : "") + SmbUri(path);
}

// auth-info-required as the scheduler reports it.
std::vector<std::string> AuthInfo(PrintLogon logon)
{
    switch (logon) {
    case PrintLogon::Password:
        return {"username", "password"};
    case PrintLogon::Kerberos:
        return {"negotiate"};
    case PrintLogon::None:
        break;
    }
    return {"none"};
}

} // namespace

std::optional<UncPath> CupsQueue::Share() const
{
    const bool kerberos = deviceUri.starts_with(std::string(kKerberosScheme) + "smb://");
    return UncFromSmbUri(kerberos ? deviceUri.substr(sizeof kKerberosScheme - 1) : deviceUri);
}

std::optional<std::vector<std::string>> CupsQueue::Users() const
{
    return UsersOfMark(location);
}

bool CupsQueue::PrintsTo(const UncPath& path) const
{
    const auto share = Share();
    return share && SamePrinter(*share, path);
}

namespace
{

using Queue = CupsQueue;

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::vector<std::string> Without(std::vector<std::string> users, const std::string& user)
{
    users.erase(std::remove(users.begin(), users.end(), user), users.end());
    return users;
}

// The values of a list attribute.
std::vector<std::string> Values(ipp_attribute_t* attribute)
{
    std::vector<std::string> values;
    for (int i = 0; i < ippGetCount(attribute); ++i)
        if (const char* value = ippGetString(attribute, i, nullptr))
            values.push_back(value);
    return values;
}

// A list attribute of the printer with these values.
void AddValues(ipp_t* request, ipp_tag_t tag, const char* name,
               const std::vector<std::string>& values)
{
    std::vector<const char*> texts;
    for (const std::string& value : values)
        texts.push_back(value.c_str());
    ippAddStrings(request, IPP_TAG_PRINTER, tag, name, static_cast<int>(texts.size()), nullptr,
                  texts.data());
}

void ReadAttribute(Queue& queue, ipp_attribute_t* attribute)
{
    const std::string name = ippGetName(attribute);
    const char* text = ippGetString(attribute, 0, nullptr);
    if (name == "printer-is-accepting-jobs")
        queue.accepting = ippGetBoolean(attribute, 0) != 0;
    else if (name == "printer-state")
        queue.state = ippGetInteger(attribute, 0);
    else if (name == "requesting-user-name-allowed")
        queue.allowed = Values(attribute);
    else if (name == "auth-info-required")
        queue.authInfo = Values(attribute);
    else if (text == nullptr)
        return;
    else if (name == "printer-name")
        queue.name = text;
    else if (name == "device-uri")
        queue.deviceUri = text;
    else if (name == "printer-location")
        queue.location = text;
    else if (name == "wendrell-driver-default")
        queue.driver = text;
}

// The scheduler's queues and classes, in its order (by name): all of them, also those
// whose allowed users do not name the one who asks.
std::vector<Queue> ListQueues(CupsConnection& cups)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_GET_PRINTERS, "", false);
    static const char* const attributes[] = {"printer-name",
                                             "device-uri",
                                             "printer-location",
                                             "printer-is-accepting-jobs",
                                             "printer-state",
                                             "requesting-user-name-allowed",
                                             "wendrell-driver-default",
                                             "auth-info-required"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(attributes)), nullptr, attributes);
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

// The mark, and the users CUPS lets print to the queue (and show it to): the same ones.
void AddUsers(ipp_t* request, const std::vector<std::string>& users)
{
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-location", nullptr,
                 QueueMark(users).c_str());
    AddValues(request, IPP_TAG_NAME, "requesting-user-name-allowed", users);
}

// The logon and the device URI that goes with it, the driver's name as the listing reads it
// back, and the driver by its name where the request does not carry its PPD.
void AddSetup(ipp_t* request, const UncPath& path, const QueueSetup& setup, bool namesDriver)
{
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr,
                 DeviceUri(path, setup.logon).c_str());
    if (namesDriver)
        ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, "ppd-name", nullptr,
                     setup.driver.empty() ? "raw" : setup.driver.c_str());
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_NAME, "wendrell-driver-default", nullptr,
                 setup.driver.c_str());
    AddValues(request, IPP_TAG_KEYWORD, "auth-info-required", AuthInfo(setup.logon));
}

bool HasSetup(const Queue& queue, const QueueSetup& setup)
{
    return queue.driver == setup.driver && queue.authInfo == AuthInfo(setup.logon) &&
           queue.deviceUri.starts_with(kKerberosScheme) == (setup.logon == PrintLogon::Kerberos);
}

// Sends a request that sets a queue's setup, with the driver's PPD where the driver changes
// and the scheduler gave it (a new raw queue needs no driver); a driver the scheduler does
// not offer is named.
void SendSetup(CupsConnection& cups, DriverFiles& drivers, IppPtr request,
               const std::string& what, const UncPath& path, const QueueSetup& setup,
               bool newDriver)
{
    const int ppd = newDriver && !setup.driver.empty() ? drivers.FileFor(cups, setup.driver) : -1;
    AddSetup(request.get(), path, setup, newDriver && ppd < 0);
    try {
        if (ppd >= 0)
            cups.SendWithFile(std::move(request), what, ppd);
        else
            cups.Send(std::move(request), what);
    } catch (const PrintError& e) {
        if (setup.driver.empty())
            throw;
        throw DriverFailure(cups, setup.driver, e);
    }
}

void AddQueue(CupsConnection& cups, DriverFiles& drivers, const std::string& name,
              const UncPath& path, const std::vector<std::string>& users, const QueueSetup& setup)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, name);
    ipp_t* ipp = request.get();
    ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr,
                 UncText(path).c_str());
    AddUsers(ipp, users);
    ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-shared", 0);
    ippAddInteger(ipp, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    SendSetup(cups, drivers, std::move(request),
              "Cannot set up the printer " + Quoted(UncText(path)) + " as queue " + Quoted(name),
              path, setup, !setup.driver.empty());
}

// Gives a marked queue the driver and logon it should have now.
void SetUpQueue(CupsConnection& cups, DriverFiles& drivers, const Queue& queue,
                const UncPath& path, const QueueSetup& setup)
{
    SendSetup(cups, drivers, CupsConnection::NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, queue.name),
              "Cannot change the driver or logon of the printer queue " + Quoted(queue.name), path,
              setup, queue.driver != setup.driver);
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
    AddUsers(request.get(), users);
    cups.Send(std::move(request),
              "Cannot record the users of the printer queue " + Quoted(queue.name));
}

void DeleteQueue(CupsConnection& cups, const Queue& queue, const std::string& listedName)
{
    cups.Send(CupsConnection::NewRequest(IPP_OP_CUPS_DELETE_PRINTER, queue.name),
              "Cannot remove the printer " + Quoted(listedName));
}

} // namespace

QueueKeeper::QueueKeeper(std::string user, LoginCheck loggedIn)
    : user_(std::move(user)), loggedIn_(std::move(loggedIn))
{
}

QueueKeeper::~QueueKeeper() = default;

CupsConnection& QueueKeeper::Cups()
{
    if (!cups_)
        cups_ = std::make_unique<CupsConnection>();
    return *cups_;
}

bool QueueKeeper::IsMine(const Queue& queue) const
{
    const auto users = queue.Users();
    return users && Contains(*users, user_);
}

std::vector<Queue> QueueKeeper::Queues()
{
    std::vector<Queue> queues = ListQueues(Cups());
    if (!retired_ && loggedIn_) {
        retired_ = true;
        RetireDepartedUsers(queues);
    }
    known_ = std::make_unique<std::vector<Queue>>(queues);
    return queues;
}

std::vector<Queue>& QueueKeeper::Known()
{
    if (!known_)
        Queues();
    return *known_;
}

void QueueKeeper::KeepFor(const std::string& queueName, const std::vector<std::string>& users)
{
    std::vector<Queue>& known = Known();
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
void QueueKeeper::RetireDepartedUsers(std::vector<Queue>& queues)
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

const Queue* QueueKeeper::QueueFor(const std::vector<Queue>& queues, const UncPath& path) const
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

std::string QueueKeeper::Connect(const UncPath& path, const QueueSetup& setup)
{
    const std::vector<Queue> queues = Queues();
    const Queue* queue = QueueFor(queues, path);
    if (queue == nullptr) {
        Queue made;
        made.name = QueueNameFor(path, NamesOf(queues));
        made.deviceUri = DeviceUri(path, setup.logon);
        made.location = QueueMark({user_});
        made.allowed = {user_};
        made.driver = setup.driver;
        made.authInfo = AuthInfo(setup.logon);
        AddQueue(Cups(), drivers_, made.name, path, {user_}, setup);
        Known().push_back(made);
        return made.name;
    }
    // A marked queue follows the database's driver and the site's logon; an administrator's
    // is used as it is.
    if (queue->Users() && !HasSetup(*queue, setup))
        SetUpQueue(Cups(), drivers_, *queue, path, setup);
    if (IsMine(*queue)) {
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
            // Recording the user needs lpadmin; the queue still serves where it lets anyone
            // print (an older one), else the user is told.
            if (!queue->allowed.empty() && !Contains(queue->allowed, user_))
                throw;
        }
    }
    // An administrator's queue for the share is used as it is.
    return queue->name;
}

void QueueKeeper::Remove(const UncPath& path, const std::string& listedName)
{
    const Queue* found = QueueFor(Known(), path);
    if (found == nullptr)
        throw PrintError("The printer " + Quoted(listedName) + " is not connected.");
    const Queue queue = *found;
    if (!IsMine(queue))
        throw PrintError("The printer queue " + Quoted(queue.name) + " for " + Quoted(listedName) +
                         " was not made for this user; it is kept.");
    const std::vector<std::string> others = Without(*queue.Users(), user_);
    if (others.empty()) {
        drivers_.KeepFromQueue(Cups(), queue.name, queue.driver);
        DeleteQueue(Cups(), queue, listedName);
    } else {
        MarkQueue(Cups(), queue, others);
    }
    KeepFor(queue.name, others);
}
