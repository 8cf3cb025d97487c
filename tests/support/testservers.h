#pragma once

#include <map>
#include <string>

// The private cupsd and smbd that scripts/testservers started, or the domain controller and
// cupsd of scripts/krbserver, as described by their env file (KEY=value lines; a value with
// blanks or other special characters is in single quotes).
class TestServers
{
public:
    // Reads the env file of the build's test servers. Throws std::runtime_error naming the
    // file when it is missing, i.e. the servers were not started.
    static TestServers Load();
    static TestServers Load(const std::string& envFile);
    // The env file of the build's domain controller (KRB_DC_NAME, KRB_USER, ...).
    static TestServers LoadKerberos();

    // The value of KEY. Throws std::runtime_error when the file has no such key.
    const std::string& Get(const std::string& key) const;

    // Puts every entry into this process's environment (CUPS_SERVER, CUPS_SERVERROOT, HOME,
    // ...). Call before the first libcups call of any thread: libcups reads them once.
    void Export() const;

    // "\\<SMB_HOST>\<share>"
    std::string Unc(const std::string& share) const;

private:
    std::string file_;
    std::map<std::string, std::string> values_;
};
