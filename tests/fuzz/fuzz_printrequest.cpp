// What a caller of wdprintd sends: any bytes are refused or read, never a crash, and what is
// read is written back the same.

#include "platform/print/printrequest.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        const PrintRequest request = ParsePrintRequest(input);
        const PrintRequest again = ParsePrintRequest(FormatPrintRequest(request));
        if (again.operation != request.operation || UncText(again.path) != UncText(request.path) ||
            again.computer != request.computer)
            std::abort();
    } catch (const RequestError&) {
    }
    try {
        const PrintReply reply = ParsePrintReply(input);
        if (ParsePrintReply(FormatPrintReply(reply)).text.size() > reply.text.size())
            std::abort();
    } catch (const RequestError&) {
    }
    return 0;
}
