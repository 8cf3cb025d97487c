#include "platform/print/cupsconnection.h"

#include "platform/print/printsystem.h"

#include <cerrno>
#include <cstring>

namespace
{

constexpr int kConnectTimeoutMs = 10000;

const char* ResourceFor(ipp_op_t operation)
{
    switch (operation) {
    case IPP_OP_CUPS_ADD_MODIFY_PRINTER:
    case IPP_OP_CUPS_DELETE_PRINTER:
        return "/admin/";
    default:
        return "/";
    }
}

// libcups would otherwise ask for a password on the terminal, if there is one.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*)
{
    return nullptr;
}

std::string RefusalAdvice(ipp_status_t status)
{
    if (status != IPP_STATUS_ERROR_FORBIDDEN && status != IPP_STATUS_ERROR_NOT_AUTHENTICATED &&
        status != IPP_STATUS_ERROR_NOT_AUTHORIZED)
        return "";
    return std::string(" The user \"") + cupsUser() +
           "\" may not change printers: add the user to the group lpadmin, or allow it in "
           "the policy of cupsd.conf.";
}

} // namespace

CupsConnection::CupsConnection()
{
    cupsSetPasswordCB2(NoPassword, nullptr);
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         kConnectTimeoutMs, nullptr);
    if (http_ == nullptr)
        throw PrintError(std::string("Cannot reach the printing system (CUPS at ") + cupsServer() +
                         "): " + std::strerror(errno) + ". Is cupsd running?");
}

CupsConnection::~CupsConnection()
{
    httpClose(http_);
}

IppPtr CupsConnection::NewRequest(ipp_op_t operation, const std::string& queue, bool named)
{
    IppPtr request(ippNewRequest(operation));
    char uri[HTTP_MAX_URI];
    if (queue.empty()) {
        httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0, "/");
    } else {
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                         "/printers/%s", queue.c_str());
    }
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    if (named)
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name",
                     nullptr, cupsUser());
    return request;
}

IppPtr CupsConnection::Send(IppPtr request, const std::string& what)
{
    return Exchange(std::move(request), what, false);
}

IppPtr CupsConnection::SendAllowingNotFound(IppPtr request, const std::string& what)
{
    return Exchange(std::move(request), what, true);
}

IppPtr CupsConnection::SendWithFile(IppPtr request, const std::string& what, int file)
{
    return Exchange(std::move(request), what, false, file, -1);
}

IppPtr CupsConnection::Fetch(IppPtr request, const std::string& what, int file)
{
    return Exchange(std::move(request), what, false, -1, file);
}

IppPtr CupsConnection::Exchange(IppPtr request, const std::string& what, bool notFoundIsAnswer,
                                int inFile, int outFile)
{
    const char* resource = ResourceFor(ippGetOperation(request.get()));
    // cupsDoIORequest frees the request, whatever happens.
    IppPtr response(cupsDoIORequest(http_, request.release(), resource, inFile, outFile));
    const ipp_status_t status = cupsLastError();
    if (notFoundIsAnswer && status == IPP_STATUS_ERROR_NOT_FOUND)
        return nullptr;
    if (response == nullptr || status > IPP_STATUS_OK_CONFLICTING)
        throw PrintError(what + ": the printing system (CUPS) refuses: " + cupsLastErrorString() +
                         "." + RefusalAdvice(status));
    return response;
}
