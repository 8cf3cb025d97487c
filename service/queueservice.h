#pragma once

#include <chrono>
#include <string>

// How wdprintd serves: where its database look-up starts, which lock keeps two callers'
// queue work apart, and how long a caller may take to send its request.
struct ServiceSettings {
    std::string programDir; // ends with '/'
    std::string lockPath;   // empty: no lock
    std::chrono::milliseconds readLimit{5000};
    // Each line of the system log on standard error too (without systemd, which keeps it).
    bool logToStderr = false;
};

// One connection: reads one request, bounded in size and time; learns who asks from the
// socket, never from the request; grants a new queue only for a printer the database gives
// that user on this computer; does the queue work; answers one line and returns. Every
// refusal and every action goes to the system log with the caller's name. Never throws.
void ServeConnection(int fd, const ServiceSettings& settings);
