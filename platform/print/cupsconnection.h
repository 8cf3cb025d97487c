#pragma once

#include <cups/cups.h>

#include <memory>
#include <string>

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// A connection to the CUPS scheduler libcups is set up for (CUPS_SERVER, client.conf, or the
// local default), made for one piece of work and closed when it goes.
class CupsConnection
{
public:
    // Throws PrintError when the scheduler cannot be reached.
    CupsConnection();
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    http_t* get() const { return http_; }

    // A request about one queue (or about all when `queue` is empty), with the user's name
    // unless `named` is false (CUPS then hides no queue whose allowed users leave it out).
    static IppPtr NewRequest(ipp_op_t operation, const std::string& queue = "", bool named = true);

    // Sends the request and returns CUPS's answer. Throws PrintError, beginning with `what`,
    // when CUPS refuses it.
    IppPtr Send(IppPtr request, const std::string& what);
    // Like Send, but an answer "not found" (no queues at all, say) is returned as null.
    IppPtr SendAllowingNotFound(IppPtr request, const std::string& what);
    // Like Send, with the whole of a regular file after the request (a PPD, say).
    IppPtr SendWithFile(IppPtr request, const std::string& what, int file);
    // Like Send, writing what follows the answer (a PPD, say) to a file.
    IppPtr Fetch(IppPtr request, const std::string& what, int file);

private:
    IppPtr Exchange(IppPtr request, const std::string& what, bool notFoundIsAnswer,
                    int inFile = -1, int outFile = -1);

    http_t* http_ = nullptr;
};
