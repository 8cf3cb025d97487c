#include "platform/smb/smbtreeconnect.h"

#include "platform/smb/smbreach.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace
{

using Clock = std::chrono::steady_clock;

enum Command : uint16_t { kNegotiate = 0, kSessionSetup = 1, kTreeConnect = 3 };

constexpr size_t kHeaderSize = 64;
constexpr size_t kMaxMessage = 1 << 16; // our replies are small; more is not an answer to us

void PutLe(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

uint64_t GetLe(const std::string& in, size_t at, int bytes)
{
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(in[at + static_cast<size_t>(i)]);
    return value;
}

// The code point that starts at text[i], moving i past it; a byte that starts none gives
// U+FFFD and moves one byte on.
uint32_t NextCodePoint(const std::string& text, size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80       ? 1
                          : lead >> 5 == 6  ? 2
                          : lead >> 4 == 14 ? 3
                          : lead >> 3 == 30 ? 4
                                            : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += length;
    return code;
}

// UTF-8 to UTF-16LE, as SMB2 carries names.
std::string Utf16Le(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        uint32_t code = NextCodePoint(text, i);
        if (code >= 0x10000) {
            code -= 0x10000;
            PutLe(out, 0xD800 | (code >> 10), 2);
            code = 0xDC00 | (code & 0x3FF);
        }
        PutLe(out, code, 2);
    }
    return out;
}

// A request: the SMB2 header, then the body, framed for direct TCP.
std::string Request(Command command, uint64_t messageId, uint64_t sessionId,
                    const std::string& body)
{
    std::string m = "\xFESMB";
    PutLe(m, kHeaderSize, 2); // structure size
    PutLe(m, 0, 2);           // credit charge
    PutLe(m, 0, 4);           // channel sequence, reserved
    PutLe(m, command, 2);
    PutLe(m, 1, 2); // credits requested: one exchange at a time
    PutLe(m, 0, 4); // flags
    PutLe(m, 0, 4); // next command
    PutLe(m, messageId, 8);
    PutLe(m, 0, 4); // reserved (process id)
    PutLe(m, 0, 4); // tree id
    PutLe(m, sessionId, 8);
    m.append(16, '\0'); // signature: an anonymous session signs nothing
    m += body;
    std::string framed;
    PutLe(framed, 0, 1);
    for (int shift = 16; shift >= 0; shift -= 8)
        framed.push_back(static_cast<char>((m.size() >> shift) & 0xff));
    return framed + m;
}

// Pads a body that follows the header to a multiple of 8 bytes from the header's start.
void Align8(std::string& body)
{
    body.append((8 - (kHeaderSize + body.size()) % 8) % 8, '\0');
}

std::string NegotiateContext(uint16_t type, const std::string& data)
{
    std::string c;
    PutLe(c, type, 2);
    PutLe(c, data.size(), 2);
    PutLe(c, 0, 4); // reserved
    return c + data;
}

// What a server that speaks only 3.1.1 needs to hear: the hash for its pre-authentication
// integrity (SHA-512, with a salt) and the ciphers we could use (none will be: an anonymous
// session has no key).
std::string NegotiateContexts()
{
    std::string integrity;
    PutLe(integrity, 1, 2);  // hash algorithm count
    PutLe(integrity, 32, 2); // salt length
    PutLe(integrity, 1, 2);  // SHA-512
    integrity.append("wdclient share check salt 32 byt", 32);
    std::string ciphers;
    PutLe(ciphers, 2, 2); // cipher count
    PutLe(ciphers, 2, 2); // AES-128-GCM
    PutLe(ciphers, 1, 2); // AES-128-CCM
    std::string contexts = NegotiateContext(1, integrity);
    Align8(contexts);
    return contexts + NegotiateContext(2, ciphers);
}

std::string NegotiateBody()
{
    static const uint16_t dialects[] = {0x0202, 0x0210, 0x0300, 0x0302, 0x0311};
    const std::string contexts = NegotiateContexts();
    std::string b;
    PutLe(b, 36, 2);                   // structure size
    PutLe(b, std::size(dialects), 2);  // dialect count
    PutLe(b, 1, 2);                    // security mode: signing enabled, not required
    PutLe(b, 0, 2);                    // reserved
    PutLe(b, 0, 4);                    // capabilities
    b.append("wdclient-sharechk", 16); // client GUID
    // With 3.1.1 offered, the client start time gives way to where the contexts are.
    const size_t contextsAt = kHeaderSize + 36 + 2 * std::size(dialects);
    PutLe(b, contextsAt + (8 - contextsAt % 8) % 8, 4);
    PutLe(b, 2, 2); // context count
    PutLe(b, 0, 2); // reserved
    for (uint16_t dialect : dialects)
        PutLe(b, dialect, 2);
    Align8(b);
    return b + contexts;
}

// NTLMSSP flags: Unicode, request target, NTLM, always sign, extended session security,
// 128- and 56-bit; anonymous in the last message.
constexpr uint32_t kNtlmFlags = 0xA0088205;
constexpr uint32_t kNtlmAnonymous = 0x00000800;

std::string SessionSetupBody(const std::string& token)
{
    std::string b;
    PutLe(b, 25, 2);               // structure size
    PutLe(b, 0, 1);                // flags
    PutLe(b, 1, 1);                // security mode: signing enabled
    PutLe(b, 0, 4);                // capabilities
    PutLe(b, 0, 4);                // channel
    PutLe(b, kHeaderSize + 24, 2); // security buffer offset
    PutLe(b, token.size(), 2);     // security buffer length
    PutLe(b, 0, 8);                // previous session
    return b + token;
}

std::string NtlmNegotiate()
{
    std::string t("NTLMSSP\0", 8);
    PutLe(t, 1, 4);
    PutLe(t, kNtlmFlags, 4);
    t.append(16, '\0'); // no domain, no workstation
    return t;
}

// An anonymous AUTHENTICATE_MESSAGE: no names, an LM response of one zero byte, no NT one.
std::string NtlmAnonymous()
{
    std::string t("NTLMSSP\0", 8);
    PutLe(t, 3, 4);
    const uint32_t payload = 64;
    PutLe(t, 1, 2); // LM response: length, maximum, offset
    PutLe(t, 1, 2);
    PutLe(t, payload, 4);
    for (int field = 0; field < 5; ++field) { // NT response, domain, user, workstation, key
        PutLe(t, 0, 4);
        PutLe(t, payload + 1, 4);
    }
    PutLe(t, kNtlmFlags | kNtlmAnonymous, 4);
    t.push_back('\0');
    return t;
}

std::string TreeConnectBody(const std::string& server, const std::string& share)
{
    const std::string path = Utf16Le("\\\\" + server + "\\" + share);
    std::string b;
    PutLe(b, 9, 2);               // structure size
    PutLe(b, 0, 2);               // flags
    PutLe(b, kHeaderSize + 8, 2); // path offset
    PutLe(b, path.size(), 2);     // path length
    return b + path;
}

// The connection and its exchanges, each given what is left of the deadline.
class Exchange
{
public:
    Exchange(UniqueFd socket, Clock::time_point deadline)
        : socket_(std::move(socket)), deadline_(deadline)
    {
    }

    // The reply to one request; error set (errno) when none came.
    Smb2Reply Ask(Command command, const std::string& body)
    {
        const uint64_t id = nextId_++;
        Smb2Reply reply;
        if (!Send(Request(command, id, sessionId_, body)))
            return reply;
        // A server may first say that it is still working on it (status pending).
        do {
            std::string message;
            if (!Receive(message))
                return Smb2Reply();
            reply = ParseSmb2Reply(message);
        } while (reply.valid && reply.status == 0x00000103 && reply.messageId == id);
        if (reply.valid && (reply.command != command || reply.messageId != id))
            reply.valid = false;
        if (reply.valid && command == kSessionSetup)
            sessionId_ = reply.sessionId;
        return reply;
    }

    int error = 0;

private:
    bool Wait(short events)
    {
        pollfd wanted{socket_.get(), events, 0};
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
            if (left.count() <= 0) {
                error = ETIMEDOUT;
                return false;
            }
            const int ready = poll(&wanted, 1, static_cast<int>(left.count()));
            if (ready > 0)
                return true;
            if (ready < 0 && errno != EINTR) {
                error = errno;
                return false;
            }
        }
    }

    bool Send(const std::string& data)
    {
        for (size_t sent = 0; sent < data.size();) {
            if (!Wait(POLLOUT))
                return false;
            const ssize_t n =
                send(socket_.get(), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                error = errno;
                return false;
            }
            sent += n > 0 ? static_cast<size_t>(n) : 0;
        }
        return true;
    }

    bool ReadExactly(std::string& into, size_t count)
    {
        into.resize(count);
        for (size_t got = 0; got < count;) {
            if (!Wait(POLLIN))
                return false;
            const ssize_t n = recv(socket_.get(), into.data() + got, count - got, 0);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                error = n == 0 ? ECONNRESET : errno;
                return false;
            }
            got += n > 0 ? static_cast<size_t>(n) : 0;
        }
        return true;
    }

    bool Receive(std::string& message)
    {
        std::string frame;
        if (!ReadExactly(frame, 4))
            return false;
        // Direct TCP: a zero byte, then the length in three bytes, most significant first.
        size_t length = 0;
        for (size_t i = 1; i < 4; ++i)
            length = (length << 8) | static_cast<unsigned char>(frame[i]);
        if (frame[0] != '\0' || length > kMaxMessage) {
            error = EPROTO;
            return false;
        }
        return ReadExactly(message, length);
    }

    UniqueFd socket_;
    Clock::time_point deadline_;
    uint64_t nextId_ = 0;
    uint64_t sessionId_ = 0;
};

SmbKind KindOfShareType(uint8_t type)
{
    switch (type) {
    case 1:
        return SmbKind::DiskShare;
    case 3:
        return SmbKind::PrinterShare;
    default:
        return SmbKind::Other;
    }
}

enum class Session { Open, NoGuest, Unsure };

bool IsRefusal(const Smb2Reply& reply)
{
    return reply.valid &&
           (reply.status == kStatusAccessDenied || reply.status == kStatusLogonFailure);
}

// The anonymous session: Unsure when the server will not have one in a way that tells nothing
// (error set if it did not answer at all).
Session OpenSession(Exchange& exchange)
{
    const Smb2Reply negotiated = exchange.Ask(kNegotiate, NegotiateBody());
    if (!negotiated.valid || negotiated.status != kStatusSuccess)
        return Session::Unsure;
    const Smb2Reply challenged = exchange.Ask(kSessionSetup, SessionSetupBody(NtlmNegotiate()));
    if (IsRefusal(challenged))
        return Session::NoGuest;
    if (!challenged.valid || challenged.status != kStatusMoreProcessing)
        return Session::Unsure;
    const Smb2Reply done = exchange.Ask(kSessionSetup, SessionSetupBody(NtlmAnonymous()));
    if (IsRefusal(done))
        return Session::NoGuest;
    return done.valid && done.status == kStatusSuccess ? Session::Open : Session::Unsure;
}

} // namespace

Smb2Reply ParseSmb2Reply(const std::string& m)
{
    Smb2Reply reply;
    if (m.size() < kHeaderSize || m.compare(0, 4, "\xFESMB") != 0 || GetLe(m, 4, 2) != kHeaderSize)
        return reply;
    reply.status = static_cast<uint32_t>(GetLe(m, 8, 4));
    reply.command = static_cast<uint16_t>(GetLe(m, 12, 2));
    reply.messageId = GetLe(m, 24, 8);
    reply.sessionId = GetLe(m, 40, 8);
    // A tree connect's success: structure size 16, then the share type.
    if (reply.command == kTreeConnect && reply.status == kStatusSuccess) {
        if (m.size() < kHeaderSize + 16 || GetLe(m, kHeaderSize, 2) != 16)
            return reply;
        reply.shareType = static_cast<uint8_t>(m[kHeaderSize + 2]);
    }
    reply.valid = true;
    return reply;
}

ShareTypes AskShareTypes(const std::string& server, const std::vector<std::string>& shares,
                         Clock::time_point deadline)
{
    ShareTypes answer;
    SmbReach reach = SmbReach::NoAnswer;
    UniqueFd socket = ConnectSmbPort(server, deadline, reach, answer.error);
    if (reach != SmbReach::Answered) {
        // A name that only NetBIOS knows is the listing's to find.
        answer.unsure = reach == SmbReach::UnknownName;
        if (answer.unsure)
            answer.error = 0;
        return answer;
    }
    Exchange exchange(std::move(socket), deadline);
    const auto giveUp = [&exchange] {
        ShareTypes unknown;
        unknown.error = exchange.error == ETIMEDOUT ? ETIMEDOUT : 0;
        unknown.unsure = unknown.error == 0;
        return unknown;
    };
    const Session session = OpenSession(exchange);
    if (session == Session::Unsure)
        return giveUp();
    answer.noGuest = session == Session::NoGuest;
    for (size_t i = 0; i < shares.size() && !answer.noGuest; ++i) {
        const Smb2Reply reply = exchange.Ask(kTreeConnect, TreeConnectBody(server, shares[i]));
        if (reply.valid && reply.status == kStatusSuccess)
            answer.kinds[shares[i]] = KindOfShareType(reply.shareType);
        else if (IsRefusal(reply))
            answer.denied.insert(shares[i]);
        else if (!reply.valid || reply.status != kStatusBadNetworkName)
            return giveUp();
    }
    return answer;
}
