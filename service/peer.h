#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>

// Who is at the other end of a local socket, as the kernel says (not as the caller says).
struct Peer {
    uid_t uid = 0;
    std::string user; // the account's name
};

// Nothing when the socket is not a local one or the account has no name.
std::optional<Peer> PeerOf(int fd);

// Reads a request from the socket: until an empty line, the end of the stream, `limit`
// bytes (then one more, so that the caller sees it was too long) or the deadline.
// False when the deadline passed first.
bool ReadRequest(int fd, size_t limit, std::chrono::milliseconds deadline, std::string& text);

// Sends the whole text, ignoring a caller that has gone.
void SendAnswer(int fd, const std::string& text);
