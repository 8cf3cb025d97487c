#include "platform/print/cupsprintsystem.h"

#include "platform/print/cupsconnection.h"
#include "platform/print/queuename.h"
#include "platform/print/sharecheck.h"
#include "platform/print/uncpath.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace
{

struct Queue {
    std::string name;
    std::string deviceUri;
};

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

bool IsNetworkPath(const std::string& name)
{
    return name.rfind("\\\\", 0) == 0;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The scheduler's queues and classes, in its order (by name).
std::vector<Queue> ListQueues(CupsConnection& cups)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const attributes[] = {"printer-name", "device-uri"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
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
        const char* name = ippGetName(attribute);
        if (name == nullptr || ippGetGroupTag(attribute) != IPP_TAG_PRINTER) {
            flush();
            continue;
        }
        const char* value = ippGetString(attribute, 0, nullptr);
        if (std::strcmp(name, "printer-name") == 0 && value != nullptr)
            current.name = value;
        else if (std::strcmp(name, "device-uri") == 0 && value != nullptr)
            current.deviceUri = value;
    }
    flush();
    return queues;
}

std::optional<UncPath> PathOf(const Queue& queue)
{
    return UncFromSmbUri(queue.deviceUri);
}

const Queue* FindConnection(const std::vector<Queue>& queues, const UncPath& path)
{
    const auto found = std::find_if(queues.begin(), queues.end(), [&path](const Queue& queue) {
        const auto queuePath = PathOf(queue);
        return queuePath && SamePrinter(*queuePath, path);
    });
    return found == queues.end() ? nullptr : &*found;
}

std::vector<std::string> NamesOf(const std::vector<Queue>& queues)
{
    std::vector<std::string> names;
    for (const Queue& queue : queues)
        names.push_back(queue.name);
    return names;
}

void AddOrModifyQueue(CupsConnection& cups, const std::string& name, const UncPath& path)
{
    IppPtr request = CupsConnection::NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, name);
    ipp_t* ipp = request.get();
    ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, SmbUri(path).c_str());
    ippAddString(ipp, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr,
                 UncText(path).c_str());
    ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddBoolean(ipp, IPP_TAG_PRINTER, "printer-is-shared", 0);
    ippAddInteger(ipp, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    cups.Send(std::move(request),
              "Cannot set up the printer " + Quoted(UncText(path)) + " as queue " + Quoted(name));
}

// The queue named by a network path or by a queue name, as CUPS spells it.
std::string QueueNamed(CupsConnection& cups, const std::string& name)
{
    const std::vector<Queue> queues = ListQueues(cups);
    if (IsNetworkPath(name)) {
        const Queue* queue = FindConnection(queues, ParseUncPath(name));
        if (queue == nullptr)
            throw PrintError("The printer " + Quoted(name) + " is not connected.");
        return queue->name;
    }
    const auto found = std::find_if(queues.begin(), queues.end(), [&name](const Queue& queue) {
        return EqualIgnoringCase(queue.name, name);
    });
    if (found == queues.end())
        throw PrintError("There is no printer named " + Quoted(name) + ".");
    return found->name;
}

} // namespace

CupsPrintSystem::CupsPrintSystem(std::chrono::milliseconds checkLimit) : shares_(checkLimit) {}

CupsPrintSystem::~CupsPrintSystem() = default;

CupsConnection& CupsPrintSystem::Cups()
{
    if (!cups_)
        cups_ = std::make_unique<CupsConnection>();
    return *cups_;
}

void CupsPrintSystem::Connect(const std::string& path)
{
    const UncPath unc = ParseUncPath(path);
    shares_.Check(unc);
    CupsConnection& cups = Cups();
    const std::vector<Queue> queues = ListQueues(cups);
    const Queue* existing = FindConnection(queues, unc);
    const std::string name = existing ? existing->name : QueueNameFor(unc, NamesOf(queues));
    AddOrModifyQueue(cups, name, unc);
}

void CupsPrintSystem::Remove(const std::string& listedName)
{
    if (!IsNetworkPath(listedName))
        throw PrintError(Quoted(listedName) +
                         " is a local printer, not a network printer connection; it is kept.");
    CupsConnection& cups = Cups();
    const std::string queue = QueueNamed(cups, listedName);
    cups.Send(CupsConnection::NewRequest(IPP_OP_CUPS_DELETE_PRINTER, queue),
              "Cannot remove the printer " + Quoted(listedName));
}

void CupsPrintSystem::SetDefault(const std::string& name)
{
    CupsConnection& cups = Cups();
    const std::string queue = QueueNamed(cups, name);
    Destinations dests(cups);
    bool found = false;
    for (cups_dest_t& dest : dests) {
        const bool chosen = dest.instance == nullptr && EqualIgnoringCase(dest.name, queue);
        dest.is_default = chosen ? 1 : 0;
        found = found || chosen;
    }
    if (!found)
        throw PrintError("The printer " + Quoted(name) + " is not among the user's printers.");
    // Writes the user's ~/.cups/lpoptions, as lpoptions -d does (root's too, with CUPS 2.4).
    if (cupsSetDests2(cups.get(), dests.count(), dests.begin()) != 0)
        throw PrintError("Cannot save " + Quoted(name) +
                         " as the default printer: " + cupsLastErrorString() + ".");
}

std::vector<std::string> CupsPrintSystem::InstalledPrinters()
{
    CupsConnection& cups = Cups();
    std::vector<std::string> names;
    for (const Queue& queue : ListQueues(cups)) {
        const auto path = PathOf(queue);
        names.push_back(path ? UncText(*path) : queue.name);
    }
    return names;
}
