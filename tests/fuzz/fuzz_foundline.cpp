// The lines of found printers: built from a remote name and a comment, split back on adding.

#include "admin/foundline.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string path, description;
    SplitFoundLine(input, path, description);
    if (path.size() + description.size() > input.size())
        std::abort();

    size_t nl = input.find('\n');
    std::string remote = input.substr(0, nl);
    std::string comment = nl == std::string::npos ? "" : input.substr(nl + 1);
    if (remote.find('\0') != std::string::npos || comment.find('\0') != std::string::npos)
        return 0;
    std::string line = FoundPrinterLine(remote.c_str(), comment.c_str());
    std::string cut = line.substr(0, line.find('['));
    if (remote.compare(0, cut.size(), cut) != 0)
        std::abort();
    size_t characters = 0;
    for (char c : cut)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (characters > 255)
        std::abort();
    // Never cut inside a character: what follows the cut starts a character.
    if (cut.size() < remote.size() && remote.find('[') >= cut.size() &&
        (static_cast<unsigned char>(remote[cut.size()]) & 0xC0) == 0x80)
        std::abort();
    if (remote.find('[') == std::string::npos) {
        SplitFoundLine(line, path, description);
        if (path != cut || description != comment)
            std::abort();
    }
    return 0;
}
