#include "platform/print/queuemark.h"

namespace
{

constexpr char kPrefix[] = "wdclient for ";
constexpr char kSeparator[] = ", ";

} // namespace

std::string QueueMark(const std::vector<std::string>& users)
{
    std::string mark = kPrefix;
    for (size_t i = 0; i < users.size(); ++i)
        mark += (i == 0 ? "" : kSeparator) + users[i];
    return mark;
}

std::optional<std::vector<std::string>> UsersOfMark(const std::string& location)
{
    const std::string prefix = kPrefix;
    if (location.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    std::vector<std::string> users;
    const std::string separator = kSeparator;
    for (size_t begin = prefix.size(); begin <= location.size();) {
        size_t end = location.find(separator, begin);
        if (end == std::string::npos)
            end = location.size();
        if (end > begin)
            users.push_back(location.substr(begin, end - begin));
        begin = end + separator.size();
    }
    return users;
}
