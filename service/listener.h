#pragma once

#include "service/queueservice.h"

#include <string>

// A listening socket at path, which every local user may connect to. A stale socket left
// there is replaced; any other file is an error. Throws std::runtime_error.
int ListenOn(const std::string& path);

// The socket systemd passed (LISTEN_FDS): -1 when none.
int PassedSocket();
// Whether the socket listens (systemd's Accept=no) rather than being one caller's.
bool IsListening(int fd);
// The file path a local socket is bound to (for a connection: the listener's); "" if none.
std::string BoundPath(int fd);

// Serves every caller that connects, each in a child process of its own (at most 64 at
// once), until the process is told to stop. A caller that sends nothing, too much or
// garbage costs the others nothing.
[[noreturn]] void ServeForever(int listenFd, const ServiceSettings& settings);
