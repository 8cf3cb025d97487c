#pragma once

#include "platform/netenum/networkenumerator.h"
#include "platform/smb/smblistingpool.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>

// The network as libsmbclient sees it: the top lists the workgroups of the browse list
// (smb://), a workgroup its servers (smb://WORKGROUP), a server its shares (smb://SERVER).
//
// Records (dwScope RESOURCE_GLOBALNET, lpLocalName null, lpProvider kSmbProvider):
//   workgroup  its name               RESOURCEDISPLAYTYPE_DOMAIN  RESOURCETYPE_ANY    CONTAINER
//   server     \\SERVER               RESOURCEDISPLAYTYPE_SERVER  RESOURCETYPE_ANY    CONTAINER
//   share      \\SERVER\share         RESOURCEDISPLAYTYPE_SHARE   _PRINT or _DISK     CONNECTABLE
// lpComment is never null: "" when there is none. A workgroup's is its master browser's
// name, as the browse list gives it. Hidden shares (IPC$, print$, ...) and share kinds other
// than printers and disks are left out; so are disk shares when listing RESOURCETYPE_PRINT.
//
// A container is named by its remote name: "\\SERVER" (a name or an address) is a server,
// a name without backslashes a workgroup. Each level is read whole by WNetOpenEnum, so any
// number of levels may be open at once; its failure is WNetOpenEnum's result:
// ERROR_BAD_NETPATH (the server does not answer or is unknown), ERROR_ACCESS_DENIED,
// ERROR_NO_BROWSER_SERVERS_FOUND (no browse list), ERROR_NOT_CONTAINER (a share),
// ERROR_NO_NETWORK (no interface is up). Without a master browser in reach the top is an
// empty list or ERROR_NO_BROWSER_SERVERS_FOUND.
class SmbEnumerator : public NetworkEnumerator
{
public:
    // perServer: how long one server (or the browse list) may take to give its list;
    // readAheadWidth: how many containers a read-ahead lists at once.
    explicit SmbEnumerator(std::chrono::milliseconds perServer = std::chrono::seconds(3),
                           size_t readAheadWidth = 8);
    ~SmbEnumerator() override;

    DWORD WNetOpenEnum(DWORD scope, DWORD type, DWORD usage, const NetResource* container,
                       EnumHandle* handle) override;
    DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                           DWORD* bufferSize) override;
    DWORD WNetCloseEnum(EnumHandle handle) override;
    // Lists the containers at once, a few at a time; opening one waits for its listing.
    void ReadAhead(const NetResource* records, DWORD count) override;

private:
    struct Level;

    std::chrono::milliseconds perServer_;
    std::map<EnumHandle, std::unique_ptr<Level>> levels_;
    SmbListingPool ahead_;
};

inline constexpr char kSmbProvider[] = "SMB";
