#pragma once

// Whether the user has a Kerberos ticket that has not run out, in the credential cache that
// libsmbclient's Kerberos library finds (KRB5CCNAME, else the default it is configured with).
// Call once libsmbclient is loaded. When no Kerberos library can be asked, it says yes and
// leaves the logon to find out.
bool HasKerberosTicket();
