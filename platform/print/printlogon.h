#pragma once

#include "platform/host/textutil.h"

#include <string>

// How print jobs log on to the print servers, as the site's option PrintAuthentication says:
// not at all (guest), with the user's name and password (CUPS asks the user), or with the
// user's Kerberos ticket.
enum class PrintLogon { None, Password, Kerberos };

// "none", "password", "kerberos" (in any case); an empty or unknown text is None.
inline PrintLogon PrintLogonFromText(const std::string& text)
{
    if (EqualsIgnoreCase(text, "password"))
        return PrintLogon::Password;
    if (EqualsIgnoreCase(text, "kerberos"))
        return PrintLogon::Kerberos;
    return PrintLogon::None;
}

inline const char* PrintLogonText(PrintLogon logon)
{
    switch (logon) {
    case PrintLogon::Password:
        return "password";
    case PrintLogon::Kerberos:
        return "kerberos";
    case PrintLogon::None:
        break;
    }
    return "none";
}
