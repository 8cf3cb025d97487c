#include "tests/support/testservers.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace
{

std::string Unquoted(const std::string& value)
{
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

TestServers TestServers::Load()
{
    return Load(WD_TESTSERVERS_DIR "/env");
}

TestServers TestServers::LoadKerberos()
{
    return Load(WD_KRBSERVER_DIR "/env");
}

TestServers TestServers::Load(const std::string& envFile)
{
    std::ifstream in(envFile);
    if (!in)
        throw std::runtime_error("Cannot read " + envFile +
                                 ": the test servers are not running (scripts/testservers or "
                                 "scripts/krbserver start DIR, or ctest, which starts them).");
    TestServers servers;
    servers.file_ = envFile;
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        servers.values_[line.substr(0, equals)] = Unquoted(line.substr(equals + 1));
    }
    return servers;
}

const std::string& TestServers::Get(const std::string& key) const
{
    const auto found = values_.find(key);
    if (found == values_.end())
        throw std::runtime_error(file_ + " has no " + key);
    return found->second;
}

void TestServers::Export() const
{
    for (const auto& [key, value] : values_)
        setenv(key.c_str(), value.c_str(), 1);
}

std::string TestServers::Unc(const std::string& share) const
{
    return "\\\\" + Get("SMB_HOST") + "\\" + share;
}
