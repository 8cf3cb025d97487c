#pragma once

#include <ctime>

// A moment as a calendar date and time of day, in the process's time zone (TZ, the system's
// zone) or in UTC. Safe to call from several threads at once.
std::tm LocalCalendarTime(std::time_t when);
std::tm UtcCalendarTime(std::time_t when);
