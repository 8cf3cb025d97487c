#pragma once

#include <map>
#include <string>
#include <vector>

class TestServers;

// What the private cupsd holds, read and reset as an administrator would, with the CUPS
// command-line tools (never through a shell) and libcups.

struct ToolResult {
    int exitCode;
    std::string out;
    std::string err;
};

ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments);
std::vector<std::string> Lines(const std::string& text);

// Deletes every queue and the default printer files, so that a test starts from nothing.
void ResetPrintServer(const TestServers& servers);
// The queue names, in CUPS's order.
std::vector<std::string> QueueNames();
// The attributes libcups reports for a queue (device-uri, printer-info, ...).
std::map<std::string, std::string> QueueOptions(const std::string& queue);
// The user's default destination; "" when none.
std::string UserDefault();
// A queue of the machine's own kind: an IPP printer, nothing to do with SMB.
void AddLocalQueue(const std::string& name);
// A queue as an administrator makes it with lpadmin.
void AddQueue(const std::string& name, const std::string& uri, const std::string& location = "");
// A queue's device URI as cupsd saved it, credentials and all.
std::string SavedDeviceUri(const TestServers& servers, const std::string& queue);
// Where libcups 2.4 keeps the user's default, root's too.
std::string UserOptionsFile(const TestServers& servers);
