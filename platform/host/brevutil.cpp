#include "platform/host/brevutil.h"

#include "platform/host/textutil.h"

// The portable part: switches and names. What the OS answers is in brevutil_<os>.cpp.

TBrevUtil::TBrevUtil(std::vector<std::string> args) : args_(std::move(args)) {}

TBrevUtil TBrevUtil::FromMain(int argc, char** argv)
{
    return TBrevUtil(std::vector<std::string>(argv, argv + argc));
}

std::string TBrevUtil::getstartdir() const
{
    return startDir_.empty() ? ProgramDirectory() : startDir_;
}

void TBrevUtil::SetStartDir(const std::string& dir)
{
    startDir_ = dir;
    if (startDir_.empty() || startDir_.back() != '/')
        startDir_ += '/';
}

bool ParseSwitch(const std::string& arg, std::string& name, std::string& value, bool& hasValue)
{
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return false;
    size_t sep = arg.find_first_of("=:", 1);
    hasValue = sep != std::string::npos;
    name = arg.substr(1, hasValue ? sep - 1 : std::string::npos);
    value = hasValue ? arg.substr(sep + 1) : std::string();
    // A value quoted as a whole, as in /CLIENTNAME="LAB 12" passed through unchanged.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return !name.empty();
}

bool TBrevUtil::ReadCommandLine(const std::string& name, std::string& value) const
{
    for (size_t i = 1; i < args_.size(); ++i) {
        std::string n, v;
        bool hasValue = false;
        if (ParseSwitch(args_[i], n, v, hasValue) && EqualsIgnoreCase(n, name)) {
            value = v;
            return true;
        }
    }
    return false;
}

std::string NetBiosName(const std::string& hostName)
{
    return UpperCaseAscii(hostName.substr(0, hostName.find('.'))).substr(0, 15);
}
