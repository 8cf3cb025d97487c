// Calendar time on a POSIX system: the reentrant forms of localtime and gmtime.

#include "platform/host/calendartime.h"

std::tm LocalCalendarTime(std::time_t when)
{
    std::tm tm{};
    localtime_r(&when, &tm);
    return tm;
}

std::tm UtcCalendarTime(std::time_t when)
{
    std::tm tm{};
    gmtime_r(&when, &tm);
    return tm;
}
