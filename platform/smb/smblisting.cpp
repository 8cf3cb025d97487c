#include "platform/smb/smblisting.h"

#include <ifaddrs.h>
#include <libsmbclient.h>
#include <net/if.h>

#include <cerrno>
#include <mutex>

namespace
{

// Owns a libsmbclient context set up for one listing.
class SmbContext
{
public:
    SmbContext(SmbDialects dialects, std::chrono::milliseconds timeout)
        : context_(smbc_new_context())
    {
        if (context_ == nullptr)
            return;
        smbc_setOptionDebugToStderr(context_, 1);
        smbc_setDebug(context_, 0);
        smbc_setTimeout(context_, static_cast<int>(timeout.count()));
        // Ask every master browser that answers: each knows only its own subnet's workgroups.
        smbc_setOptionBrowseMaxLmbCount(context_, 0);
        if (dialects == SmbDialects::Browsing)
            smbc_setOptionProtocols(context_, "NT1", "NT1");
        else
            smbc_setOptionProtocols(context_, "NT1", "default");
        if (smbc_init_context(context_) == nullptr) {
            const int error = errno;
            smbc_free_context(context_, 1);
            context_ = nullptr;
            errno = error;
        }
    }
    ~SmbContext()
    {
        if (context_ != nullptr)
            smbc_free_context(context_, 1);
    }
    SmbContext(const SmbContext&) = delete;
    SmbContext& operator=(const SmbContext&) = delete;

    SMBCCTX* get() const { return context_; }

private:
    SMBCCTX* context_;
};

// An open directory of a context, closed when it goes.
class SmbDirectory
{
public:
    SmbDirectory(SMBCCTX* context, const std::string& url)
        : context_(context), handle_(smbc_getFunctionOpendir(context)(context, url.c_str()))
    {
    }
    ~SmbDirectory()
    {
        if (handle_ != nullptr)
            smbc_getFunctionClosedir(context_)(context_, handle_);
    }
    SmbDirectory(const SmbDirectory&) = delete;
    SmbDirectory& operator=(const SmbDirectory&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    const smbc_dirent* Next() { return smbc_getFunctionReaddir(context_)(context_, handle_); }

private:
    SMBCCTX* context_;
    SMBCFILE* handle_;
};

// libsmbclient ends the whole process (exit(1)) when it finds no interface that is up with
// an address, so it is not asked then.
bool AnyInterfaceUp()
{
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return true; // let libsmbclient find out for itself
    bool up = false;
    for (const ifaddrs* i = interfaces; i != nullptr && !up; i = i->ifa_next)
        up = (i->ifa_flags & IFF_UP) != 0 && i->ifa_addr != nullptr && i->ifa_netmask != nullptr &&
             (i->ifa_addr->sa_family == AF_INET || i->ifa_addr->sa_family == AF_INET6);
    freeifaddrs(interfaces);
    return up;
}

int ErrnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

} // namespace

SmbListing ReadSmbDirectory(const std::string& url, SmbDialects dialects,
                            std::chrono::milliseconds timeout)
{
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    SmbListing listing;
    if (!AnyInterfaceUp()) {
        listing.error = ENETDOWN;
        return listing;
    }
    errno = 0;
    SmbContext context(dialects, timeout);
    if (context.get() == nullptr) {
        listing.error = ErrnoOr(ENOMEM);
        return listing;
    }
    errno = 0;
    SmbDirectory directory(context.get(), url);
    if (!directory.IsOpen()) {
        listing.error = ErrnoOr(EIO);
        return listing;
    }
    while (const smbc_dirent* entry = directory.Next())
        listing.entries.push_back(
            {entry->smbc_type, entry->name, entry->comment != nullptr ? entry->comment : ""});
    return listing;
}
