#pragma once

#include <libsmbclient.h>

// The functions of libsmbclient that a listing calls.
#define WD_SMBCLIENT_FUNCTIONS(X)                                                                  \
    X(smbc_new_context)                                                                            \
    X(smbc_free_context)                                                                           \
    X(smbc_init_context)                                                                           \
    X(smbc_setOptionDebugToStderr)                                                                 \
    X(smbc_setDebug)                                                                               \
    X(smbc_setTimeout)                                                                             \
    X(smbc_setOptionBrowseMaxLmbCount)                                                             \
    X(smbc_setOptionProtocols)                                                                     \
    X(smbc_setPort)                                                                                \
    X(smbc_setOptionUseKerberos)                                                                   \
    X(smbc_setOptionFallbackAfterKerberos)                                                         \
    X(smbc_setOptionNoAutoAnonymousLogin)                                                          \
    X(smbc_getFunctionStat)                                                                        \
    X(smbc_getFunctionOpendir)                                                                     \
    X(smbc_getFunctionClosedir)                                                                    \
    X(smbc_getFunctionReaddir)

// libsmbclient, loaded by the child that lists rather than linked: with it and its sixty
// Samba libraries, loading the printing module cost a logon more than the rest of its run,
// and a logon whose servers answer tree connects never lists at all.
struct LibSmbClient {
#define WD_SMBCLIENT_POINTER(name) decltype(&::name) name = nullptr;
    WD_SMBCLIENT_FUNCTIONS(WD_SMBCLIENT_POINTER)
#undef WD_SMBCLIENT_POINTER
};

// Loads libsmbclient.so.0 once; null when it cannot be loaded (errno ELIBACC).
const LibSmbClient* SmbClient();
