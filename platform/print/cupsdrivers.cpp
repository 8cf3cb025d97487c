#include "platform/print/cupsdrivers.h"

#include "platform/print/cupsconnection.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>

std::vector<PrinterDriver> ListDrivers(CupsConnection& cups)
{
    IppPtr request = CupsConnection::NewRequest(CUPS_GET_PPDS);
    static const char* const attributes[] = {"ppd-name", "ppd-make-and-model"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                  nullptr, attributes);
    IppPtr response = cups.SendAllowingNotFound(std::move(request), "Cannot list the drivers");
    std::vector<PrinterDriver> drivers;
    if (response == nullptr)
        return drivers;
    PrinterDriver current;
    const auto flush = [&] {
        if (!current.name.empty())
            drivers.push_back(current);
        current = PrinterDriver();
    };
    for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a;
         a = ippNextAttribute(response.get())) {
        const char* name = ippGetName(a);
        const char* text = ippGetString(a, 0, nullptr);
        if (name == nullptr)
            flush();
        else if (text != nullptr && std::string(name) == "ppd-name")
            current.name = text;
        else if (text != nullptr && std::string(name) == "ppd-make-and-model")
            current.makeAndModel = text;
    }
    flush();
    return drivers;
}

PrintError DriverFailure(CupsConnection& cups, const std::string& driver, const PrintError& said)
{
    std::vector<PrinterDriver> drivers;
    try {
        drivers = ListDrivers(cups);
    } catch (const PrintError&) {
        return said;
    }
    const bool offered =
        std::any_of(drivers.begin(), drivers.end(),
                    [&driver](const PrinterDriver& d) { return d.name == driver; });
    if (offered)
        return said;
    return MissingDriver(driver);
}

namespace
{

// The PPD a CUPS-Get-PPD request answers with, in memory; none when it gives none.
UniqueFd FetchPpd(CupsConnection& cups, IppPtr request)
{
    UniqueFd file(memfd_create("wendrell-ppd", MFD_CLOEXEC));
    if (file.get() < 0)
        return file;
    struct stat status = {};
    try {
        cups.Fetch(std::move(request), "Cannot fetch the driver", file.get());
    } catch (const PrintError&) {
        return UniqueFd();
    }
    if (fstat(file.get(), &status) != 0 || status.st_size == 0)
        return UniqueFd();
    return file;
}

// The request for the PPD a driver makes. No printer-uri: with one the scheduler sends that
// queue's PPD.
IppPtr DriverPpdRequest(const std::string& driver)
{
    IppPtr request(ippNewRequest(IPP_OP_CUPS_GET_PPD));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name",
                 nullptr, cupsUser());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "ppd-name", nullptr,
                 driver.c_str());
    return request;
}

} // namespace

int DriverFiles::FileFor(CupsConnection& cups, const std::string& driver)
{
    auto found = files_.find(driver);
    if (found == files_.end())
        found = files_.emplace(driver, FetchPpd(cups, DriverPpdRequest(driver))).first;
    return found->second.get();
}

void DriverFiles::KeepFromQueue(CupsConnection& cups, const std::string& queue,
                                const std::string& driver)
{
    if (driver.empty() || files_.contains(driver))
        return;
    UniqueFd file = FetchPpd(cups, CupsConnection::NewRequest(IPP_OP_CUPS_GET_PPD, queue));
    if (file.get() >= 0)
        files_.emplace(driver, std::move(file));
}
