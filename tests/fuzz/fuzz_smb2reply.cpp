// A server's SMB2 reply, read as the share check reads it: never past its end.

#include "platform/smb/smbtreeconnect.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string message(reinterpret_cast<const char*>(data), size);
    const Smb2Reply reply = ParseSmb2Reply(message);
    if (reply.valid && message.size() < 64)
        std::abort();
    if (reply.shareType != 0 && message.size() < 80)
        std::abort();
    return 0;
}
