#include "platform/print/printrequest.h"

#include "platform/host/textutil.h"
#include "platform/smb/smberror.h"

#include <map>
#include <vector>

namespace
{

constexpr char kHeader[] = "WDPRINTD/1";

const std::map<std::string, QueueOperation>& Operations()
{
    static const std::map<std::string, QueueOperation> operations = {
        {"connect", QueueOperation::Connect}, {"remove", QueueOperation::Remove}};
    return operations;
}

// Text that goes on one line of the request or the answer: no line break, no other control
// character, valid UTF-8.
bool OneLine(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return IsValidUtf8(text);
}

std::string Checked(const std::string& text, const char* what)
{
    if (!OneLine(text))
        throw RequestError(std::string("the ") + what +
                           " holds a control character or is not "
                           "UTF-8 text");
    return text;
}

// The lines up to the first empty one (or the end), without their line breaks.
std::vector<std::string> Lines(const std::string& text)
{
    if (text.size() > kMaxRequestBytes)
        throw RequestError("the request is longer than " + std::to_string(kMaxRequestBytes) +
                           " bytes");
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            throw RequestError("the request's last line has no line break");
        if (end == begin)
            break;
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

UncPath PathOf(const std::string& text)
{
    try {
        return ParseUncPath(text);
    } catch (const SmbError& e) {
        throw RequestError(e.what());
    }
}

void Apply(PrintRequest& request, const std::string& key, const std::string& value)
{
    if (key == "operation") {
        const auto found = Operations().find(value);
        if (found == Operations().end())
            throw RequestError("the operation \"" + value + "\" is not known");
        request.operation = found->second;
    } else if (key == "path") {
        request.path = PathOf(value);
    } else if (key == "computer") {
        request.computer = value;
    } else {
        throw RequestError("the key \"" + key + "\" is not known");
    }
}

} // namespace

std::string FormatPrintRequest(const PrintRequest& request)
{
    std::string operation;
    for (const auto& [name, op] : Operations())
        if (op == request.operation)
            operation = name;
    std::string text = std::string(kHeader) + "\noperation=" + operation +
                       "\npath=" + Checked(UncText(request.path), "path") + "\n";
    if (!request.computer.empty())
        text += "computer=" + Checked(request.computer, "computer name") + "\n";
    return text + "\n";
}

PrintRequest ParsePrintRequest(const std::string& text)
{
    const std::vector<std::string> lines = Lines(text);
    if (lines.empty() || lines[0] != kHeader)
        throw RequestError(std::string("the request does not begin with ") + kHeader);
    PrintRequest request;
    std::map<std::string, bool> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = Checked(lines[i], "request");
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            throw RequestError("a line of the request is not key=value");
        const std::string key = line.substr(0, equals);
        if (seen[key])
            throw RequestError("the key \"" + key + "\" is given twice");
        seen[key] = true;
        Apply(request, key, line.substr(equals + 1));
    }
    if (!seen["operation"] || !seen["path"])
        throw RequestError("the request names no operation or no path");
    return request;
}

std::string FormatPrintReply(const PrintReply& reply)
{
    static const char* const words[] = {"ok", "refused", "error"};
    std::string text = reply.text;
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return std::string(words[static_cast<int>(reply.kind)]) + " " + text + "\n";
}

PrintReply ParsePrintReply(const std::string& text)
{
    const size_t space = text.find(' ');
    const size_t end = text.find('\n');
    if (space == std::string::npos || end == std::string::npos || end < space)
        throw RequestError("the service's answer cannot be read");
    const std::string word = text.substr(0, space);
    PrintReply reply;
    reply.text = text.substr(space + 1, end - space - 1);
    if (word == "ok")
        reply.kind = ReplyKind::Ok;
    else if (word == "refused")
        reply.kind = ReplyKind::Refused;
    else if (word == "error")
        reply.kind = ReplyKind::Error;
    else
        throw RequestError("the service's answer cannot be read");
    return reply;
}
