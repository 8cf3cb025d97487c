#pragma once

#include "platform/print/printsystem.h"
#include "platform/smb/smbpath.h"

#include <string>

class DataModule;

// Whether a run of the client for a user on a computer would connect a printer, by the rules
// and printers the database holds: a slot of an active rule whose name matches the computer,
// whose printer is available. Placeholders are filled in as the service knows them (the
// user's name, the host's name and address); each of the others (a variable of the user's
// environment, a switch, the date) stands for any text within the share's name, as the user
// could give it any value there. The server's name must come from the rule alone.
// The queue then takes the driver and the logon the database gives, whatever else the
// caller might want.
struct Grant {
    std::string whyNot; // empty: granted
    QueueSetup setup;
};
Grant GrantFor(DataModule& dbform, const std::string& computer, const std::string& user,
               const UncPath& path);
