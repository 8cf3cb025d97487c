// wdsmb: the CUPS backend of the queues whose jobs log on to the print server with the job
// owner's Kerberos ticket. CUPS runs it as root (its mode is 0700); it hands the job to
// Samba's Kerberos wrapper, which takes the owner's ticket, with the smb:// device URI that
// the smb backend reads. The stock smb backend, which other programs' queues use, stays as
// it is.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{

constexpr char kWrapper[] = "/usr/libexec/samba/smbspool_krb5_wrapper";
constexpr char kScheme[] = "wdsmb://";
constexpr int kBackendFailed = 1; // CUPS_BACKEND_FAILED

} // namespace

int main(int argc, char** argv)
{
    // Asked without arguments for the devices it can find: none of its own.
    if (argc == 1)
        return 0;
    const char* given = std::getenv("DEVICE_URI");
    const std::string uri = given ? given : argv[0];
    if (uri.compare(0, std::strlen(kScheme), kScheme) != 0) {
        std::fprintf(stderr, "ERROR: wdsmb: \"%s\" is not a wdsmb:// device URI\n", uri.c_str());
        return kBackendFailed;
    }
    std::string smb = uri.substr(2);
    setenv("DEVICE_URI", smb.c_str(), 1);
    argv[0] = smb.data();
    execv(kWrapper, argv);
    std::fprintf(stderr, "ERROR: wdsmb: cannot start %s: %s\n", kWrapper, std::strerror(errno));
    return kBackendFailed;
}
