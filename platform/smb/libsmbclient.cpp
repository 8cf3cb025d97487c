#include "platform/smb/libsmbclient.h"

#include <dlfcn.h>

#include <cerrno>
#include <memory>

namespace
{

std::unique_ptr<LibSmbClient> Load()
{
    void* handle = dlopen("libsmbclient.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto lib = std::make_unique<LibSmbClient>();
#define WD_SMBCLIENT_RESOLVE(name)                                                                 \
    lib->name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                         \
    if (!lib->name)                                                                                \
        return nullptr;
    WD_SMBCLIENT_FUNCTIONS(WD_SMBCLIENT_RESOLVE)
#undef WD_SMBCLIENT_RESOLVE
    return lib; // the library stays loaded for the process's life
}

} // namespace

const LibSmbClient* SmbClient()
{
    static const std::unique_ptr<LibSmbClient> lib = Load();
    if (!lib)
        errno = ELIBACC;
    return lib.get();
}
