#include "platform/store/libpq.h"

#include "platform/store/storeerror.h"

#include <dlfcn.h>
#include <string>

namespace
{

LibPq Load()
{
    const char* const file = "libpq.so.5";
    void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw StoreError(std::string("A PostgreSQL server is named, but its client library cannot "
                                     "be loaded (") +
                         dlerror() + "). Install the package libpq5.");
    LibPq lib;
#define WD_LIBPQ_RESOLVE(name)                                                                     \
    lib.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                          \
    if (!lib.name)                                                                                 \
        throw StoreError(std::string(file) + " lacks " #name "; install a newer libpq5.");
    WD_LIBPQ_FUNCTIONS(WD_LIBPQ_RESOLVE)
#undef WD_LIBPQ_RESOLVE
    return lib; // the library stays loaded for the program's life
}

} // namespace

const LibPq& Pq()
{
    static const LibPq lib = Load();
    return lib;
}
