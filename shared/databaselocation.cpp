#include "shared/databaselocation.h"

#include "platform/host/textutil.h"
#include "platform/store/drivers.h"
#include "platform/store/storeerror.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace
{

// Leaves errno as stat set it.
bool Exists(const std::string& path)
{
    struct stat st {
    };
    return stat(path.c_str(), &st) == 0;
}

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t\r");
    const size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

[[noreturn]] void FailConf(const std::string& conf, const std::string& what)
{
    throw StoreError("The database settings file \"" + conf + "\" " + what);
}

// The value of the conf's "database" line. Other keys are left to the back ends that
// will need them; a '#' starts a comment only at the start of a line, as paths may hold one.
std::string DatabaseSetting(const std::string& conf)
{
    std::ifstream in(conf);
    if (!in)
        FailConf(conf, "cannot be read (" + std::string(std::strerror(errno)) + ").");
    std::string line;
    std::string value;
    for (int number = 1; std::getline(in, line); ++number) {
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t equals = line.find('=');
        const std::string where = " (line " + std::to_string(number) + ").";
        if (equals == std::string::npos)
            FailConf(conf, "has a line that is not \"key = value\"" + where);
        if (!EqualsIgnoreCase(Trim(line.substr(0, equals)), "database"))
            continue;
        if (!value.empty())
            FailConf(conf, "names the database twice" + where);
        value = Trim(line.substr(equals + 1));
    }
    if (value.empty())
        FailConf(conf, "names no database: it needs a line \"database = <file path or "
                       "postgresql:// URI>\".");
    return value;
}

DatabaseLocation FromConf(const std::string& conf)
{
    const std::string value = DatabaseSetting(conf);
    if (IsServerLocation(value))
        return {DatabaseKind::PostgreSql, value, conf};
    const std::string folder = conf.substr(0, conf.rfind('/') + 1);
    const std::string path = value[0] == '/' ? value : folder + value;
    if (!Exists(path))
        FailConf(conf, "names the database \"" + path + "\", which cannot be found (" +
                           std::strerror(errno) + ").");
    return {DatabaseKind::File, path, conf};
}

} // namespace

DatabaseLocation LocateDatabase(const std::string& programDir, const std::string& systemConf)
{
    const std::string besideConf = programDir + "wddata.conf";
    const std::string besideFile = programDir + "wddata.mdb";
    // A conf that is there but broken is an error: falling through would open another file.
    if (Exists(besideConf))
        return FromConf(besideConf);
    if (Exists(besideFile))
        return {DatabaseKind::File, besideFile, ""};
    if (Exists(systemConf))
        return FromConf(systemConf);
    throw StoreError("The database cannot be found. Looked for, in this order:\n  " + besideConf +
                     "\n  " + besideFile + "\n  " + systemConf +
                     "\nPut wddata.mdb (\"wddb create\" makes one), or a wddata.conf with a line "
                     "\"database = <file path>\", in the program's folder, or that line in " +
                     systemConf + ".");
}
