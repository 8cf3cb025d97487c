#pragma once

#include "platform/print/printrequest.h"

#include <string>

// The client's side of wdprintd, which makes, marks and removes the client's CUPS queues
// for users who may not change queues themselves.
class PrintService
{
public:
    // The service's socket when the client should use it: $WDPRINTD_SOCKET, else
    // /run/wendrell/wdprintd.sock, when it is there; empty otherwise, and always for root,
    // who changes queues itself.
    static std::string SocketToUse();

    explicit PrintService(std::string socketPath) : socket_(std::move(socketPath)) {}
    const std::string& Socket() const { return socket_; }

    // Sends the request; the queue's name. Throws PrintError with the service's reason when
    // it refuses, or with what went wrong when it cannot be asked.
    std::string Ask(const PrintRequest& request) const;

private:
    std::string socket_;
};
