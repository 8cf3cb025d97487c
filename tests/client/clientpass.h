#pragma once

#include <string>
#include <vector>

// One pass of the client in this process, started as `wdclient ARGS...` beside the
// database in dir; message boxes and dialogs go through the interaction seam.
struct ClientPass {
    int exitCode;
    std::vector<std::string> statuses; // every status text, in order
    bool shown;                        // the status window was visible at the end
    int pausedMs;                      // how long the run would have waited in all
};
ClientPass RunClientPass(const std::string& dir, std::vector<std::string> args);

// wdclient's silent run (/S) as the program makes it, in this process: without windows
// until a message or the add path needs them, then with the windows linked into the test.
int RunSilentPass(const std::string& dir, std::vector<std::string> args);
