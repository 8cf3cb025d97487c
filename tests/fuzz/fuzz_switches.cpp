// The command-line switches: lines of the input are the arguments.

#include "platform/host/brevutil.h"
#include "platform/host/textutil.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args = {"wdclient"};
    size_t start = 0;
    for (size_t nl; (nl = input.find('\n', start)) != std::string::npos; start = nl + 1)
        args.push_back(input.substr(start, nl - start));
    args.push_back(input.substr(start));
    TBrevUtil util(args);
    for (size_t i = 1; i < args.size(); ++i) {
        std::string name, value;
        bool hasValue = false;
        if (!ParseSwitch(args[i], name, value, hasValue))
            continue;
        // Whatever a switch is named, asking for that name (in any case) finds it.
        std::string found;
        if (!util.ReadCommandLine(UpperCaseAscii(name), found))
            std::abort();
        if (name.find_first_of("=:") != std::string::npos)
            std::abort();
    }
    return 0;
}
