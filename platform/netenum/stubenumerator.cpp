// Temporary until the SMB back end lands: a network with nothing on it.
#include "platform/netenum/networkenumerator.h"

namespace
{
class NoNetwork : public NetworkEnumerator
{
public:
    DWORD WNetOpenEnum(DWORD, DWORD, DWORD, const NetResource*, EnumHandle*) override
    {
        return ERROR_NO_NETWORK;
    }
    DWORD WNetEnumResource(EnumHandle, DWORD*, void*, DWORD*) override { return ERROR_NO_NETWORK; }
    DWORD WNetCloseEnum(EnumHandle) override { return NO_ERROR_; }
};
} // namespace

std::unique_ptr<NetworkEnumerator> CreateNetworkEnumerator()
{
    return std::make_unique<NoNetwork>();
}
