#include "platform/print/smbshares.h"

#include "platform/print/printsystem.h"
#include "platform/print/uncpath.h"

#include <libsmbclient.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace
{

std::string ErrnoText(int error)
{
    return std::strerror(error);
}

// Owns a libsmbclient context, set up for one listing.
class SmbContext
{
public:
    explicit SmbContext(std::chrono::milliseconds timeout)
    {
        context_ = smbc_new_context();
        if (context_ == nullptr)
            throw PrintError("Cannot start the SMB client library: " + ErrnoText(errno));
        smbc_setOptionDebugToStderr(context_, 1);
        smbc_setDebug(context_, 0);
        smbc_setTimeout(context_, static_cast<int>(timeout.count()));
        if (smbc_init_context(context_) == nullptr) {
            const int error = errno;
            smbc_free_context(context_, 1);
            throw PrintError("Cannot start the SMB client library: " + ErrnoText(error));
        }
    }
    ~SmbContext() { smbc_free_context(context_, 1); }
    SmbContext(const SmbContext&) = delete;
    SmbContext& operator=(const SmbContext&) = delete;

    SMBCCTX* get() const { return context_; }

private:
    SMBCCTX* context_ = nullptr;
};

// An open directory of a context, closed when it goes.
class SmbDirectory
{
public:
    SmbDirectory(SmbContext& context, SMBCFILE* handle) : context_(context), handle_(handle) {}
    ~SmbDirectory() { smbc_getFunctionClosedir(context_.get())(context_.get(), handle_); }
    SmbDirectory(const SmbDirectory&) = delete;
    SmbDirectory& operator=(const SmbDirectory&) = delete;

    const smbc_dirent* Next()
    {
        return smbc_getFunctionReaddir(context_.get())(context_.get(), handle_);
    }

private:
    SmbContext& context_;
    SMBCFILE* handle_;
};

std::string ListingError(const std::string& server, int error)
{
    const std::string subject = "The print server \"" + server + "\" ";
    switch (error) {
    case ETIMEDOUT:
        return subject + "does not answer.";
    case ECONNREFUSED:
        return subject + "cannot be reached: its name is unknown or it refuses SMB connections.";
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
        return subject + "cannot be reached: " + ErrnoText(error) + ".";
    case EACCES:
    case EPERM:
        return subject + "does not let this user see its printers (access denied).";
    default:
        return "Cannot list the printers of the server \"" + server + "\": " + ErrnoText(error) +
               ".";
    }
}

SmbShare::Kind KindOf(unsigned int type)
{
    switch (type) {
    case SMBC_PRINTER_SHARE:
        return SmbShare::Kind::Printer;
    case SMBC_FILE_SHARE:
        return SmbShare::Kind::Disk;
    default:
        return SmbShare::Kind::Other;
    }
}

} // namespace

std::vector<SmbShare> ListShares(const std::string& server, std::chrono::milliseconds timeout)
{
    // libsmbclient keeps process-wide state (loaded smb.conf, talloc stack frames).
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    SmbContext context(timeout);
    const std::string uri = SmbServerUri(server);
    SMBCFILE* handle = smbc_getFunctionOpendir(context.get())(context.get(), uri.c_str());
    if (handle == nullptr)
        throw PrintError(ListingError(server, errno));
    SmbDirectory directory(context, handle);
    std::vector<SmbShare> shares;
    while (const smbc_dirent* entry = directory.Next())
        shares.push_back({entry->name, KindOf(entry->smbc_type), entry->comment});
    return shares;
}
