#include "platform/store/drivers.h"

#include "platform/host/textutil.h"
#include "platform/store/pgdriver.h"
#include "platform/store/sqlitedriver.h"

bool IsServerLocation(const std::string& location)
{
    const std::string upper = UpperCaseAscii(location.substr(0, 13));
    return upper.starts_with("POSTGRESQL://") || upper.starts_with("POSTGRES://");
}

std::unique_ptr<StoreDriver> OpenDatabase(const OpenOptions& options)
{
    if (IsServerLocation(options.location))
        return std::make_unique<PgDriver>(options.location, options.access);
    return std::make_unique<SqliteDriver>(options.location, options.access);
}

std::unique_ptr<StoreDriver> OpenNewDatabase(const std::string& location)
{
    if (IsServerLocation(location))
        return PgDriver::OpenEmpty(location);
    return SqliteDriver::CreateFile(location);
}
