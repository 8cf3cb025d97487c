#pragma once

#include <libpq-fe.h>

// The functions of libpq the PostgreSQL driver calls.
#define WD_LIBPQ_FUNCTIONS(X)                                                                      \
    X(PQclear)                                                                                     \
    X(PQcmdTuples)                                                                                 \
    X(PQconnectdbParams)                                                                           \
    X(PQconnectionNeedsPassword)                                                                   \
    X(PQconninfoFree)                                                                              \
    X(PQconninfoParse)                                                                             \
    X(PQdescribePrepared)                                                                          \
    X(PQerrorMessage)                                                                              \
    X(PQexec)                                                                                      \
    X(PQexecParams)                                                                                \
    X(PQfinish)                                                                                    \
    X(PQfname)                                                                                     \
    X(PQfreemem)                                                                                   \
    X(PQftype)                                                                                     \
    X(PQgetisnull)                                                                                 \
    X(PQgetlength)                                                                                 \
    X(PQgetvalue)                                                                                  \
    X(PQnfields)                                                                                   \
    X(PQntuples)                                                                                   \
    X(PQprepare)                                                                                   \
    X(PQresultErrorField)                                                                          \
    X(PQresultStatus)                                                                              \
    X(PQstatus)

// libpq, loaded when a server is first named rather than linked: a program on the file
// starts without it and the libraries it brings (TLS, Kerberos, LDAP), which cost each
// logon a third of its time.
struct LibPq {
#define WD_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    WD_LIBPQ_FUNCTIONS(WD_LIBPQ_POINTER)
#undef WD_LIBPQ_POINTER
};

// Loads libpq.so.5 once; throws StoreError when it cannot be loaded.
const LibPq& Pq();
