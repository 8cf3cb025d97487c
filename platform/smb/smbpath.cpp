#include "platform/smb/smbpath.h"

#include "platform/host/textutil.h"
#include "platform/smb/percentencoding.h"
#include "platform/smb/smberror.h"

#include <algorithm>
#include <vector>

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

bool IsNetworkPath(const std::string& text)
{
    return text.rfind("\\\\", 0) == 0;
}

UncPath ParseUncPath(const std::string& text)
{
    const auto fail = [&text](const std::string& why) {
        return SmbError("\"" + Printable(text) +
                          "\" is not a printer's network path (\\\\server\\share): " + why + ".");
    };
    if (!IsNetworkPath(text))
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
    return ServerPath(path.server) + "\\" + path.share;
}

std::string ServerPath(const std::string& server)
{
    return "\\\\" + server;
}

std::string SmbUri(const UncPath& path)
{
    return kSmbScheme + PercentEncode(path.server) + "/" + PercentEncode(path.share);
}

std::string SmbNetworkUri()
{
    return kSmbScheme;
}

std::string SmbServerUri(const std::string& server)
{
    return kSmbScheme + PercentEncode(server);
}

std::optional<UncPath> UncFromSmbUri(const std::string& uri)
{
    const std::string scheme = kSmbScheme;
    if (uri.size() <= scheme.size() || !EqualsIgnoreCase(uri.substr(0, scheme.size()), scheme))
        return std::nullopt;
    std::string rest = uri.substr(scheme.size());
    if (rest.find_first_of("?#") != std::string::npos)
        return std::nullopt;
    // smb://[user[:password]@][workgroup/]server[:port]/share, as CUPS's smb backend reads it:
    // an administrator's queue with credentials prints to the same share as a plain one.
    const size_t at = rest.rfind('@', rest.find('/'));
    if (at != std::string::npos)
        rest = rest.substr(at + 1);
    std::vector<std::string> parts;
    for (size_t begin = 0;;) {
        const size_t slash = rest.find('/', begin);
        parts.push_back(rest.substr(begin, slash - begin));
        if (slash == std::string::npos)
            break;
        begin = slash + 1;
    }
    if (parts.size() == 3)
        parts.erase(parts.begin());
    if (parts.size() != 2)
        return std::nullopt;
    std::string server = parts[0];
    if (const size_t colon = server.find(':'); colon != std::string::npos) {
        const std::string port = server.substr(colon + 1);
        if (port.empty() || port.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        server.resize(colon);
    }
    const auto decodedServer = PercentDecode(server);
    const auto decodedShare = PercentDecode(parts[1]);
    if (!decodedServer || !decodedShare || decodedServer->empty() || decodedShare->empty())
        return std::nullopt;
    const UncPath path{*decodedServer, *decodedShare};
    if (HasControlCharacter(UncText(path)) || path.server.find('\\') != std::string::npos ||
        path.share.find('\\') != std::string::npos)
        return std::nullopt;
    return path;
}

bool SamePrinter(const UncPath& a, const UncPath& b)
{
    return EqualsIgnoreCase(a.server, b.server) && EqualsIgnoreCase(a.share, b.share);
}
