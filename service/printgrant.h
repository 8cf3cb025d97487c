#pragma once

#include "platform/smb/smbpath.h"

#include <string>

class DataModule;

// Whether a run of the client for a user on a computer would connect a printer, by the rules
// and printers the database holds: a slot of an active rule whose name matches the computer,
// whose printer is available. Placeholders are filled in as the service knows them (the
// user's name, the host's name and address); each of the others (a variable of the user's
// environment, a switch, the date) stands for any text within the share's name, as the user
// could give it any value there. The server's name must come from the rule alone.
// Empty when a run would connect it; else why not.
std::string WhyNotGranted(DataModule& dbform, const std::string& computer, const std::string& user,
                          const UncPath& path);
