#include "platform/smb/kerberosticket.h"

#include <dlfcn.h>

#include <cstdint>
#include <ctime>

namespace
{

// The few calls of the Kerberos API asked here; its handles are opaque.
struct Krb5 {
    int32_t (*init_context)(void** context) = nullptr;
    void (*free_context)(void* context) = nullptr;
    int32_t (*cc_default)(void* context, void** cache) = nullptr;
    int32_t (*cc_close)(void* context, void* cache) = nullptr;
    int32_t (*cc_get_principal)(void* context, void* cache, void** principal) = nullptr;
    void (*free_principal)(void* context, void* principal) = nullptr;
    // Heimdal's only: how long the cache's first ticket has left.
    int32_t (*cc_get_lifetime)(void* context, void* cache, time_t* left) = nullptr;
};

template <typename Function> bool Resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// Samba's own Heimdal as libsmbclient loaded it, else the system's library (a libsmbclient
// built without Heimdal of its own uses that one).
const Krb5* Kerberos()
{
    static const Krb5 krb5 = [] {
        Krb5 found;
        void* library = dlopen("libkrb5-samba4.so.0", RTLD_NOW | RTLD_NOLOAD);
        if (library == nullptr)
            library = dlopen("libkrb5.so.3", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return found;
        Resolve(library, "krb5_cc_get_lifetime", found.cc_get_lifetime);
        if (!Resolve(library, "krb5_init_context", found.init_context) ||
            !Resolve(library, "krb5_free_context", found.free_context) ||
            !Resolve(library, "krb5_cc_default", found.cc_default) ||
            !Resolve(library, "krb5_cc_close", found.cc_close) ||
            !Resolve(library, "krb5_cc_get_principal", found.cc_get_principal) ||
            !Resolve(library, "krb5_free_principal", found.free_principal))
            found.init_context = nullptr;
        return found;
    }();
    return krb5.init_context != nullptr ? &krb5 : nullptr;
}

// The default credential cache, open while this lives.
class DefaultCache
{
public:
    explicit DefaultCache(const Krb5& krb5) : krb5_(krb5)
    {
        if (krb5_.init_context(&context_) != 0)
            context_ = nullptr;
        else if (krb5_.cc_default(context_, &cache_) != 0)
            cache_ = nullptr;
    }
    ~DefaultCache()
    {
        if (cache_ != nullptr)
            krb5_.cc_close(context_, cache_);
        if (context_ != nullptr)
            krb5_.free_context(context_);
    }
    DefaultCache(const DefaultCache&) = delete;
    DefaultCache& operator=(const DefaultCache&) = delete;

    bool Opened() const { return context_ != nullptr; }
    // A cache that is there has a principal; one that has not been made has none.
    bool HoldsTickets() const
    {
        void* principal = nullptr;
        if (cache_ == nullptr || krb5_.cc_get_principal(context_, cache_, &principal) != 0)
            return false;
        krb5_.free_principal(context_, principal);
        return true;
    }
    bool RunOut() const
    {
        time_t left = 0;
        return krb5_.cc_get_lifetime != nullptr &&
               krb5_.cc_get_lifetime(context_, cache_, &left) == 0 && left <= 0;
    }

private:
    const Krb5& krb5_;
    void* context_ = nullptr;
    void* cache_ = nullptr;
};

} // namespace

bool HasKerberosTicket()
{
    const Krb5* krb5 = Kerberos();
    if (krb5 == nullptr)
        return true;
    const DefaultCache cache(*krb5);
    return !cache.Opened() || (cache.HoldsTickets() && !cache.RunOut());
}
