#pragma once

#include <chrono>
#include <string>
#include <vector>

// One entry of an smb:// directory, as libsmbclient gives it (names as raw UTF-8).
struct SmbEntry {
    unsigned int type; // SMBC_WORKGROUP, SMBC_SERVER, SMBC_PRINTER_SHARE, SMBC_FILE_SHARE, ...
    std::string name;
    std::string comment;
};

enum class SmbDialects {
    Browsing, // SMB1 only: the browse lists (smb://, smb://WORKGROUP) exist only there
    Any,      // SMB1 up to the newest: old print servers and current ones alike
};

struct SmbListing {
    int error = 0; // errno of an opening that failed (ENETDOWN: no interface is up); 0 if read
    std::vector<SmbEntry> entries;
};

// Reads a whole smb:// directory (smb://, smb://WORKGROUP or smb://SERVER) at once, as the
// user's Kerberos ticket if there is one, else as a guest. `timeout` bounds each wait for an
// answer of a server that was reached. The dialects are libsmbclient's process-wide setting,
// so they are set again for every listing. Calls are serialized: this build of libsmbclient
// has no thread support.
SmbListing ReadSmbDirectory(const std::string& url, SmbDialects dialects,
                            std::chrono::milliseconds timeout);
