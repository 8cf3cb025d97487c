#include "platform/print/cupsdrivers.h"

#include "platform/print/cupsconnection.h"

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
