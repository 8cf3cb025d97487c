#pragma once

#include <string>

// Whether this process can show windows: the window toolkit finds its platform (a display
// it can reach, a platform plugin that loads). The toolkit aborts the process when it
// cannot, so a child process tries first, for at most timeoutMs (a display that accepts
// and never answers would hang the caller too). argc and argv are those the application
// object will get. False with why set to what the toolkit said, or to the time-out.
bool CanOpenDisplay(int argc, char** argv, std::string& why, int timeoutMs = 5000);
