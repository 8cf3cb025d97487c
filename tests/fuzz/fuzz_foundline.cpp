// The lines of found printers: a remote name (the input's first line) and a comment (the
// rest); the path is the remote name cut to 255 characters, never inside one.

#include "admin/foundline.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

bool StartsCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nl = input.find('\n');
    const std::string remote = input.substr(0, nl);
    const std::string comment = nl == std::string::npos ? "" : input.substr(nl + 1);
    const std::string path = FoundPrinterPath(remote);
    if (remote.compare(0, path.size(), path) != 0)
        std::abort();
    size_t characters = 0;
    for (char c : path)
        characters += StartsCharacter(c);
    if (characters > 255 || (path.size() < remote.size() && characters != 255))
        std::abort();
    if (path.size() < remote.size() && !StartsCharacter(remote[path.size()]))
        std::abort();
    if (FoundPrinterLine(remote, comment) != path + "[" + comment + "]")
        std::abort();
    return 0;
}
