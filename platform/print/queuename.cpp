#include "platform/print/queuename.h"

#include "platform/host/textutil.h"

#include <algorithm>
#include <cctype>

namespace
{

// CUPS allows up to 127 bytes; leave room for a number that makes the name unique.
constexpr size_t kMaxPartLength = 50;

bool IsAllowed(unsigned char c)
{
    return c < 0x80 && (std::isalnum(c) || c == '-' || c == '_' || c == '.');
}

// Every run of other characters (blanks, '#', quotes, non-ASCII bytes) becomes one '_'.
std::string Sanitize(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (IsAllowed(c))
            out += static_cast<char>(c);
        else if (out.empty() || out.back() != '_')
            out += '_';
    }
    out = out.substr(0, kMaxPartLength);
    const auto first = out.find_first_not_of('_');
    if (first == std::string::npos)
        return "x";
    return out.substr(first, out.find_last_not_of('_') - first + 1);
}

bool IsTaken(const std::string& name, const std::vector<std::string>& taken)
{
    return std::any_of(taken.begin(), taken.end(), [&name](const std::string& other) {
        return EqualsIgnoreCase(name, other);
    });
}

} // namespace

std::string QueueNameFor(const UncPath& path, const std::vector<std::string>& taken)
{
    const std::string base = Sanitize(path.server) + "_" + Sanitize(path.share);
    std::string name = base;
    for (int number = 2; IsTaken(name, taken); ++number)
        name = base + "_" + std::to_string(number);
    return name;
}
