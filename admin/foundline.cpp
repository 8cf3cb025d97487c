#include "admin/foundline.h"

#include <algorithm>

namespace
{

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

std::string FoundPrinterLine(const char* remoteName, const char* comment)
{
    return CutCharacters(remoteName, 255) + "[" + (comment ? comment : "") + "]";
}

void SplitFoundLine(const std::string& line, std::string& path, std::string& description)
{
    size_t open = line.find('[');
    // Counted from 1 as the original did, 0 when there is no '[': then the path is empty and
    // the description all but the last character.
    size_t p = open == std::string::npos ? 0 : open + 1;
    path = line.substr(0, p == 0 ? 0 : p - 1);
    size_t length = line.size() >= p + 1 ? line.size() - p - 1 : 0;
    description = line.substr(std::min(p, line.size()), length);
}
