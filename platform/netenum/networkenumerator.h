#pragma once

#include <cstdint>
#include <memory>

// Network enumeration shaped like the Windows networking calls (WNetOpenEnum,
// WNetEnumResource, WNetCloseEnum) and their NETRESOURCE records, so that the discovery
// walk reads the same on every OS.

using DWORD = uint32_t;
using EnumHandle = void*;

struct NetResource {
    DWORD dwScope;
    DWORD dwType;
    DWORD dwDisplayType;
    DWORD dwUsage;
    char* lpLocalName;
    char* lpRemoteName; // \\SERVER\share for a share, \\SERVER for a server
    char* lpComment;
    char* lpProvider;
};

inline constexpr DWORD RESOURCE_CONNECTED = 1;
inline constexpr DWORD RESOURCE_GLOBALNET = 2;

inline constexpr DWORD RESOURCETYPE_ANY = 0;
inline constexpr DWORD RESOURCETYPE_DISK = 1;
inline constexpr DWORD RESOURCETYPE_PRINT = 2;

inline constexpr DWORD RESOURCEDISPLAYTYPE_GENERIC = 0;
inline constexpr DWORD RESOURCEDISPLAYTYPE_DOMAIN = 1;
inline constexpr DWORD RESOURCEDISPLAYTYPE_SERVER = 2;
inline constexpr DWORD RESOURCEDISPLAYTYPE_SHARE = 3;
inline constexpr DWORD RESOURCEDISPLAYTYPE_NETWORK = 6;

inline constexpr DWORD RESOURCEUSAGE_CONNECTABLE = 1;
inline constexpr DWORD RESOURCEUSAGE_CONTAINER = 2;

inline constexpr DWORD NO_ERROR_ = 0; // NO_ERROR is a macro on some systems
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_BAD_NETPATH = 53;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_CONTAINER = 1207;
inline constexpr DWORD ERROR_NO_NETWORK = 1222;
inline constexpr DWORD ERROR_EXTENDED_ERROR = 1208;
inline constexpr DWORD ERROR_NO_BROWSER_SERVERS_FOUND = 6118;

class NetworkEnumerator
{
public:
    virtual ~NetworkEnumerator() = default;

    // Opens one level: under container, or the top of the network when it is null.
    virtual DWORD WNetOpenEnum(DWORD scope, DWORD type, DWORD usage, const NetResource* container,
                               EnumHandle* handle) = 0;
    // Fills buffer with as many records as fit (count 0xFFFFFFFF) or at most *count, the
    // texts they point to placed after them in the same buffer; sets *count. Returns
    // ERROR_NO_MORE_ITEMS at the end, ERROR_MORE_DATA (and the size needed in *bufferSize)
    // when not even one record fits. The buffer must be aligned for NetResource.
    virtual DWORD WNetEnumResource(EnumHandle handle, DWORD* count, void* buffer,
                                   DWORD* bufferSize) = 0;
    virtual DWORD WNetCloseEnum(EnumHandle handle) = 0;
    // The walk will open these containers (records of a level; others are ignored) one
    // after another. A back end may start reading them now, so that slow servers are waited
    // for side by side; each opening must still give what it would have given alone.
    virtual void ReadAhead(const NetResource* records, DWORD count)
    {
        (void)records;
        (void)count;
    }
};

// The back end of this OS.
std::unique_ptr<NetworkEnumerator> CreateNetworkEnumerator();
