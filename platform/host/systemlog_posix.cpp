// The system log of a POSIX system: syslog(3).

#include "platform/host/systemlog.h"

#include <syslog.h>

void WriteSystemLog(const char* ident, LogPriority priority, const std::string& line)
{
    // Cheap without LOG_NDELAY: it only names the sender; the socket opens at the first line.
    openlog(ident, LOG_PID, LOG_USER);
    syslog(priority == LogPriority::Warning ? LOG_WARNING : LOG_INFO, "%s", line.c_str());
}
