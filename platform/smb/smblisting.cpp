#include "platform/smb/smblisting.h"

#include "platform/smb/kerberosticket.h"
#include "platform/smb/libsmbclient.h"
#include "platform/smb/smbreach.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Owns a libsmbclient context set up for one listing.
class SmbContext
{
public:
    SmbContext(const LibSmbClient& smb, SmbDialects dialects, SmbLogon logon, milliseconds timeout)
        : smb_(smb), context_(smb.smbc_new_context())
    {
        if (context_ == nullptr)
            return;
        if (logon == SmbLogon::UserTicket) {
            // The ticket or nothing: neither a password nor an anonymous session instead.
            smb_.smbc_setOptionUseKerberos(context_, 1);
            smb_.smbc_setOptionFallbackAfterKerberos(context_, 0);
            smb_.smbc_setOptionNoAutoAnonymousLogin(context_, 1);
        }
        smb_.smbc_setOptionDebugToStderr(context_, 1);
        smb_.smbc_setDebug(context_, 0);
        smb_.smbc_setTimeout(context_, static_cast<int>(timeout.count()));
        // Ask every master browser that answers: each knows only its own subnet's workgroups.
        smb_.smbc_setOptionBrowseMaxLmbCount(context_, 0);
        if (dialects == SmbDialects::Browsing) {
            smb_.smbc_setOptionProtocols(context_, "NT1", "NT1");
        } else {
            smb_.smbc_setOptionProtocols(context_, "NT1", "default");
            // Else a server's list is asked on 139 first, and a silent or filtered 139 would
            // use up the deadline of a server that answers on 445.
            smb_.smbc_setPort(context_, 445);
        }
        if (smb_.smbc_init_context(context_) == nullptr) {
            const int error = errno;
            smb_.smbc_free_context(context_, 1);
            context_ = nullptr;
            errno = error;
        }
    }
    ~SmbContext()
    {
        if (context_ != nullptr)
            smb_.smbc_free_context(context_, 1);
    }
    SmbContext(const SmbContext&) = delete;
    SmbContext& operator=(const SmbContext&) = delete;

    SMBCCTX* get() const { return context_; }

private:
    const LibSmbClient& smb_;
    SMBCCTX* context_;
};

// An open directory of a context, closed when it goes.
class SmbDirectory
{
public:
    SmbDirectory(const LibSmbClient& smb, SMBCCTX* context, const std::string& url)
        : smb_(smb), context_(context),
          handle_(smb.smbc_getFunctionOpendir(context)(context, url.c_str()))
    {
    }
    ~SmbDirectory()
    {
        if (handle_ != nullptr)
            smb_.smbc_getFunctionClosedir(context_)(context_, handle_);
    }
    SmbDirectory(const SmbDirectory&) = delete;
    SmbDirectory& operator=(const SmbDirectory&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    const smbc_dirent* Next() { return smb_.smbc_getFunctionReaddir(context_)(context_, handle_); }

private:
    const LibSmbClient& smb_;
    SMBCCTX* context_;
    SMBCFILE* handle_;
};

// libsmbclient ends the whole process (exit(1)) when it finds no interface that is up with
// an address; in the child that would run this process's atexit handlers. So it is not
// asked then.
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

SmbKind KindOf(unsigned int type)
{
    switch (type) {
    case SMBC_WORKGROUP:
        return SmbKind::Workgroup;
    case SMBC_SERVER:
        return SmbKind::Server;
    case SMBC_PRINTER_SHARE:
        return SmbKind::PrinterShare;
    case SMBC_FILE_SHARE:
        return SmbKind::DiskShare;
    default:
        return SmbKind::Other;
    }
}

int ErrnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// Connects a server's IPC$ share in the context. Asked to list a server by a name (not an
// address) that it has no connection to, libsmbclient first takes the name for a workgroup's
// and asks NetBIOS for its master browsers: broadcasts that nobody answers, half a second or
// more. Whether this connection works or not, the listing tells. The pipe asked for is the
// one the listing opens next: asked for the share itself, Samba looks for a pipe without a
// name and takes some 50 ms to refuse it.
void ConnectIpc(const LibSmbClient& smb, SMBCCTX* context, const std::string& url)
{
    struct stat ignored;
    smb.smbc_getFunctionStat(context)(context, (url + "/IPC$/srvsvc").c_str(), &ignored);
}

// The listing through libsmbclient in this process; `timeout` bounds each wait. `server`: the
// directory is a server's.
SmbListing ReadHere(const std::string& url, SmbDialects dialects, SmbLogon logon, bool server,
                    milliseconds timeout)
{
    SmbListing listing;
    const LibSmbClient* smb = SmbClient();
    if (smb == nullptr) {
        listing.error = ELIBACC;
        return listing;
    }
    if (logon == SmbLogon::UserTicket && !HasKerberosTicket()) {
        listing.error = ENOKEY;
        return listing;
    }
    errno = 0;
    SmbContext context(*smb, dialects, logon, timeout);
    if (context.get() == nullptr) {
        listing.error = ErrnoOr(ENOMEM);
        return listing;
    }
    if (server)
        ConnectIpc(*smb, context.get(), url);
    errno = 0;
    SmbDirectory directory(*smb, context.get(), url);
    if (!directory.IsOpen()) {
        listing.error = ErrnoOr(EIO);
        return listing;
    }
    while (const smbc_dirent* entry = directory.Next())
        listing.entries.push_back({KindOf(entry->smbc_type), entry->name,
                                   entry->comment != nullptr ? entry->comment : ""});
    return listing;
}

// What the child sends: the error, then kind, name and comment of each entry; numbers as
// 4 bytes, texts after their length.
void PutNumber(std::string& out, uint32_t number)
{
    out.append(reinterpret_cast<const char*>(&number), sizeof number);
}

void PutText(std::string& out, const std::string& text)
{
    PutNumber(out, static_cast<uint32_t>(text.size()));
    out += text;
}

std::string Encode(const SmbListing& listing)
{
    std::string out;
    PutNumber(out, static_cast<uint32_t>(listing.error));
    for (const SmbEntry& entry : listing.entries) {
        PutNumber(out, static_cast<uint32_t>(entry.kind));
        PutText(out, entry.name);
        PutText(out, entry.comment);
    }
    return out;
}

class Decoder
{
public:
    explicit Decoder(const std::string& in) : in_(in) {}

    bool AtEnd() const { return at_ == in_.size(); }
    bool Number(uint32_t& number)
    {
        if (in_.size() - at_ < sizeof number)
            return false;
        std::memcpy(&number, in_.data() + at_, sizeof number);
        at_ += sizeof number;
        return true;
    }
    bool Text(std::string& text)
    {
        uint32_t size = 0;
        if (!Number(size) || in_.size() - at_ < size)
            return false;
        text.assign(in_, at_, size);
        at_ += size;
        return true;
    }

private:
    const std::string& in_;
    size_t at_ = 0;
};

// Nothing when the message is cut short: the child ended before it had said everything.
std::optional<SmbListing> Decode(const std::string& message)
{
    Decoder in(message);
    uint32_t error = 0;
    if (!in.Number(error))
        return std::nullopt;
    SmbListing listing;
    listing.error = static_cast<int>(error);
    while (!in.AtEnd()) {
        SmbEntry entry;
        uint32_t kind = 0;
        if (!in.Number(kind) || kind > static_cast<uint32_t>(SmbKind::Other) ||
            !in.Text(entry.name) || !in.Text(entry.comment))
            return std::nullopt;
        entry.kind = static_cast<SmbKind>(kind);
        listing.entries.push_back(std::move(entry));
    }
    return listing;
}

// Gives up when the reader has gone.
void WriteAll(int fd, const std::string& data)
{
    for (size_t done = 0; done < data.size();) {
        const ssize_t written = write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno != EINTR)
            return;
        done += written > 0 ? static_cast<size_t>(written) : 0;
    }
}

struct Pipe {
    UniqueFd read, write;
};

Pipe MakePipe()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    Pipe pipe{UniqueFd(ends[0]), UniqueFd(ends[1])};
    // The reading end does not block: several children are read by turns.
    if (fcntl(pipe.read.get(), F_SETFL, O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "fcntl");
    return pipe;
}

// The child's work: with reachFirst, the port first, as ReadServerShares did in the caller.
SmbListing ReadInChild(const std::string& url, SmbDialects dialects, Clock::time_point deadline,
                       const std::string& reachFirst, SmbLogon logon)
{
    int error = 0;
    if (!reachFirst.empty() && ReachSmbPort(reachFirst, deadline, &error) == SmbReach::NoAnswer)
        return {error, {}};
    if (!reachFirst.empty() && !AnyInterfaceUp())
        return {ENETDOWN, {}};
    const auto timeout = std::chrono::ceil<milliseconds>(deadline - Clock::now());
    if (timeout.count() <= 0)
        return {ETIMEDOUT, {}};
    return ReadHere(url, dialects, logon, !reachFirst.empty(), timeout);
}

} // namespace

SmbListingRequest::SmbListingRequest(const std::string& url, SmbDialects dialects,
                                     Clock::time_point deadline, const std::string& reachFirst,
                                     SmbLogon logon)
    : deadline_(deadline)
{
    if (reachFirst.empty() && !AnyInterfaceUp()) {
        Finish(ENETDOWN);
        return;
    }
    if (deadline <= Clock::now()) {
        Finish(ETIMEDOUT);
        return;
    }
    try {
        Pipe pipe = MakePipe();
        child_ = ChildProcess::Start([&] {
            WriteAll(pipe.write.get(),
                     Encode(ReadInChild(url, dialects, deadline, reachFirst, logon)));
        });
        answer_ = std::move(pipe.read);
        // Our copy of the writing end closes here, so that the child's closing is seen.
    } catch (const std::system_error& e) {
        Finish(e.code().value());
    }
}

SmbListingRequest::~SmbListingRequest() = default;

void SmbListingRequest::Finish(int error)
{
    finished_ = true;
    child_.Stop();
    answer_.Reset();
    if (error != 0)
        result_ = {error, {}};
    else
        result_ = Decode(message_).value_or(SmbListing{EIO, {}});
    message_.clear();
}

void SmbListingRequest::Pump()
{
    char buffer[16384];
    while (!finished_) {
        const ssize_t got = read(answer_.get(), buffer, sizeof buffer);
        if (got > 0) {
            message_.append(buffer, static_cast<size_t>(got));
        } else if (got == 0) {
            Finish(0);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (Clock::now() >= deadline_)
                Finish(ETIMEDOUT);
            return;
        } else if (errno != EINTR) {
            Finish(errno);
        }
    }
}

SmbListing SmbListingRequest::Wait()
{
    while (!finished_) {
        const auto left = std::chrono::ceil<milliseconds>(deadline_ - Clock::now());
        pollfd wanted{answer_.get(), POLLIN, 0};
        if (left.count() > 0 && poll(&wanted, 1, static_cast<int>(left.count())) < 0 &&
            errno != EINTR)
            Finish(errno);
        else
            Pump();
    }
    return std::move(result_);
}

SmbListing ReadSmbDirectory(const std::string& url, SmbDialects dialects,
                            Clock::time_point deadline)
{
    return SmbListingRequest(url, dialects, deadline).Wait();
}
