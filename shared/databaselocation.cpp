#include "shared/databaselocation.h"

#include "platform/host/filestatus.h"
#include "platform/host/textutil.h"
#include "platform/store/drivers.h"
#include "platform/store/storeerror.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

namespace
{

// What a conf line may hold around its key and value (a file written on Windows ends in \r).
constexpr const char* kBlanks = " \t\r";

[[noreturn]] void FailConf(const std::string& conf, const std::string& what)
{
    throw StoreError("The database settings file \"" + conf + "\" " + what);
}

// A value in matching quotes, as a shell or another conf would have it, is read without them.
std::string Unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The value of the conf's "database" line; empty when the conf has no setting at all (only
// comments and blank lines: not set up yet). '#' starts a comment only at the start of a
// line, as paths may hold one. A key it does not know is an error that names it: a misspelt
// key would otherwise read as no database at all.
std::string DatabaseSetting(const std::string& conf)
{
    std::ifstream in(conf);
    if (!in)
        FailConf(conf, "cannot be read (" + std::string(std::strerror(errno)) + ").");
    std::string line;
    std::string value;
    bool named = false;
    for (int number = 1; std::getline(in, line); ++number) {
        line = Trimmed(line, kBlanks);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t equals = line.find('=');
        const std::string where = " (line " + std::to_string(number) + ")";
        if (equals == std::string::npos)
            FailConf(conf, "has a line that is not \"key = value\"" + where + ".");
        const std::string key = Trimmed(line.substr(0, equals), kBlanks);
        if (!EqualsIgnoreCase(key, "database"))
            FailConf(conf, "has the unknown key \"" + key + "\"" + where +
                               "; the one key is \"database\".");
        if (named)
            FailConf(conf, "names the database twice" + where + ".");
        named = true;
        value = Unquoted(Trimmed(line.substr(equals + 1), kBlanks));
        if (value.empty())
            FailConf(conf, "names no database" + where +
                               ": it needs \"database = <file path or postgresql:// URI>\".");
    }
    return value;
}

// The database a conf names; none when the conf has no setting yet.
std::optional<DatabaseLocation> FromConf(const std::string& conf)
{
    const std::string value = DatabaseSetting(conf);
    if (value.empty())
        return std::nullopt;
    if (IsServerLocation(value))
        return DatabaseLocation{DatabaseKind::PostgreSql, value, conf};
    const std::string folder = conf.substr(0, conf.rfind('/') + 1);
    const std::string path = value[0] == '/' ? value : folder + value;
    std::string why;
    if (!PathExists(path, why))
        FailConf(conf, "names the database \"" + path + "\", which cannot be found (" + why + ").");
    return DatabaseLocation{DatabaseKind::File, path, conf};
}

} // namespace

DatabaseLocation LocateDatabase(const std::string& programDir, const std::string& systemConf)
{
    const std::string besideConf = programDir + "wddata.conf";
    const std::string besideFile = programDir + "wddata.mdb";
    // A conf that is there but broken is an error: falling through would open another file.
    // One with nothing set yet (as the package installs it) is passed over.
    if (PathExists(besideConf))
        if (std::optional<DatabaseLocation> named = FromConf(besideConf))
            return *named;
    if (PathExists(besideFile))
        return {DatabaseKind::File, besideFile, ""};
    if (PathExists(systemConf))
        if (std::optional<DatabaseLocation> named = FromConf(systemConf))
            return *named;
    auto place = [&](const std::string& path) {
        return "\n  " + path + (PathExists(path) ? " (names no database yet)" : "");
    };
    throw StoreError("The database cannot be found. Looked for, in this order:" +
                     place(besideConf) + "\n  " + besideFile + place(systemConf) +
                     "\nPut wddata.mdb (\"wddb create\" makes one), or a wddata.conf with a line "
                     "\"database = <file path>\", in the program's folder, or that line in " +
                     systemConf + ".");
}
