#include "platform/print/uncpath.h"

#include "platform/print/printsystem.h"
#include "platform/smb/percentencoding.h"

#include <algorithm>

namespace
{

constexpr char kSmbScheme[] = "smb://";

bool HasControlCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char c) { return c < 0x20 || c == 0x7f; });
}

void AppendHex(std::string& out, unsigned char c)
{
    static const char digits[] = "0123456789ABCDEF";
    out += digits[c >> 4];
    out += digits[c & 0xf];
}

// Control characters shown as \xNN, so that a message is never cut short or garbled.
std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            AppendHex(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace

UncPath ParseUncPath(const std::string& text)
{
    const auto fail = [&text](const std::string& why) {
        return PrintError("\"" + Printable(text) +
                          "\" is not a printer's network path (\\\\server\\share): " + why + ".");
    };
    if (text.size() < 2 || text[0] != '\\' || text[1] != '\\')
        throw fail("it does not begin with two backslashes");
    if (HasControlCharacter(text))
        throw fail("it holds a control character");
    const size_t split = text.find('\\', 2);
    if (split == std::string::npos)
        throw fail("the share name is missing");
    UncPath path{text.substr(2, split - 2), text.substr(split + 1)};
    if (path.server.empty())
        throw fail("the server name is missing");
    if (path.share.empty())
        throw fail("the share name is missing");
    if (path.share.find('\\') != std::string::npos)
        throw fail("it names more than a server and a share");
    return path;
}

std::string UncText(const UncPath& path)
{
    return "\\\\" + path.server + "\\" + path.share;
}

std::string SmbUri(const UncPath& path)
{
    return kSmbScheme + PercentEncode(path.server) + "/" + PercentEncode(path.share);
}

std::string SmbServerUri(const std::string& server)
{
    return kSmbScheme + PercentEncode(server);
}

std::optional<UncPath> UncFromSmbUri(const std::string& uri)
{
    const std::string scheme = kSmbScheme;
    if (uri.size() <= scheme.size() || !EqualIgnoringCase(uri.substr(0, scheme.size()), scheme))
        return std::nullopt;
    const std::string rest = uri.substr(scheme.size());
    const size_t slash = rest.find('/');
    if (slash == std::string::npos || rest.find('/', slash + 1) != std::string::npos)
        return std::nullopt;
    const std::string server = rest.substr(0, slash);
    const std::string share = rest.substr(slash + 1);
    // User names, ports, queries and fragments make it something other than a plain share.
    if (server.find_first_of("@:?#") != std::string::npos ||
        share.find_first_of("?#") != std::string::npos)
        return std::nullopt;
    const auto decodedServer = PercentDecode(server);
    const auto decodedShare = PercentDecode(share);
    if (!decodedServer || !decodedShare || decodedServer->empty() || decodedShare->empty())
        return std::nullopt;
    const UncPath path{*decodedServer, *decodedShare};
    if (HasControlCharacter(UncText(path)) || path.server.find('\\') != std::string::npos ||
        path.share.find('\\') != std::string::npos)
        return std::nullopt;
    return path;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    const auto lower = [](unsigned char c) { return c < 0x80 ? std::tolower(c) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&lower](unsigned char x, unsigned char y) { return lower(x) == lower(y); });
}

bool SamePrinter(const UncPath& a, const UncPath& b)
{
    return EqualIgnoringCase(a.server, b.server) && EqualIgnoringCase(a.share, b.share);
}
