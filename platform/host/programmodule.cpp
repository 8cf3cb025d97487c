#include "platform/host/programmodule.h"

#include "platform/host/brevutil.h"

#include <dlfcn.h>

#include <stdexcept>

void* LoadProgramModule(const std::string& file, const char* symbol, const std::string& what)
{
    // Only places that go with the program itself: a path fixed at build time would let
    // whoever can later create that folder run code at every logon. Full paths: a run path
    // would be the caller's, which is not the program when dlopen is intercepted (sanitizers).
    const std::string program = ProgramDirectory();
    std::string looked;
    void* handle = nullptr;
    for (const std::string& dir : {program, program + WD_MODULE_FROM_PROGRAM "/"}) {
        const std::string path = dir + file;
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle)
            break;
        const char* why = dlerror();
        looked += "\n  " + (why != nullptr ? std::string(why) : path);
    }
    if (!handle)
        throw std::runtime_error("The " + what + " " + file +
                                 " could not be loaded; it must lie beside the program or in "
                                 "its installed library folder. Tried:" +
                                 looked);
    void* entry = dlsym(handle, symbol);
    if (!entry)
        throw std::runtime_error("The " + what + " " + file + " is not one of this system's.");
    return entry;
}
