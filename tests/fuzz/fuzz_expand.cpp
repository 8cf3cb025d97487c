// Placeholder expansion and the switches: the first line is the text, further lines are
// switches.

#include "client/uncmap.h"
#include "platform/host/brevutil.h"
#include "platform/host/textutil.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t nl = input.find('\n');
    std::string text = input.substr(0, nl);
    std::vector<std::string> args = {"wdclient"};
    for (size_t start = nl; start != std::string::npos && start < input.size();) {
        size_t next = input.find('\n', start + 1);
        args.push_back(
            input.substr(start + 1, next == std::string::npos ? next : next - start - 1));
        start = next;
    }
    TBrevUtil util(args);
    // Whatever a switch is named, asking for that name (in any case) finds it.
    for (size_t i = 1; i < args.size(); ++i) {
        std::string name, value, found;
        bool hasValue = false;
        if (ParseSwitch(args[i], name, value, hasValue) &&
            (!util.ReadCommandLine(UpperCaseAscii(name), found) ||
             name.find_first_of("=:") != std::string::npos))
            std::abort();
    }
    std::string out = ExpandVariables(text, util);
    // Without a '%' nothing changes.
    if (text.find('%') == std::string::npos && out != text)
        std::abort();
    // Text before the first '%' is kept as it is.
    size_t first = text.find('%');
    if (first != std::string::npos && out.compare(0, first, text, 0, first) != 0)
        std::abort();
    return 0;
}
