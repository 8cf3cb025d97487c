#include "admin/foundline.h"

namespace
{

constexpr size_t kMaxPathCharacters = 255;

// The first max characters of a UTF-8 text, never splitting a character.
std::string CutCharacters(const std::string& text, size_t max)
{
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool lead = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (lead && chars++ == max)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

std::string FoundPrinterPath(const std::string& remoteName)
{
    return CutCharacters(remoteName, kMaxPathCharacters);
}

std::string FoundPrinterLine(const std::string& remoteName, const std::string& comment)
{
    return FoundPrinterPath(remoteName) + "[" + comment + "]";
}
