#include "platform/print/moduleprintsystem.h"

#include "platform/host/brevutil.h"

#include <dlfcn.h>

ModulePrintSystem::ModulePrintSystem(std::string moduleName) : moduleName_(std::move(moduleName)) {}

ModulePrintSystem::~ModulePrintSystem()
{
    system_.reset();
    // Left loaded: its libraries may keep threads or handlers until the process ends.
}

PrintSystem& ModulePrintSystem::Loaded()
{
    if (system_)
        return *system_;
    if (!loadError_.empty()) // looked for once per run
        throw PrintError(loadError_);
    // Only places that go with the program itself: a path fixed at build time would let
    // whoever can later create that folder run code at every logon. Full paths: a run path
    // would be the caller's, which is not the program when dlopen is intercepted (sanitizers).
    const std::string program = ProgramDirectory();
    std::string tried;
    for (const std::string& dir : {program, program + WD_MODULE_FROM_PROGRAM "/"}) {
        const std::string file = dir + moduleName_;
        handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_)
            break;
        const char* error = dlerror();
        tried += "\n  " + (error != nullptr ? std::string(error) : file);
    }
    if (!handle_) {
        loadError_ = "The printing module " + moduleName_ +
                     " could not be loaded; it must lie beside the program or in its installed "
                     "library folder. Tried:" + tried;
        throw PrintError(loadError_);
    }
    using Factory = PrintSystem* (*)();
    auto create = reinterpret_cast<Factory>(dlsym(handle_, "wd_create_print_system"));
    if (!create)
        throw PrintError("The printing module " + moduleName_ + " is not one of this system's.");
    system_.reset(create());
    return *system_;
}

void ModulePrintSystem::Connect(const std::string& path)
{
    Loaded().Connect(path);
}

void ModulePrintSystem::Remove(const std::string& listedName)
{
    Loaded().Remove(listedName);
}

void ModulePrintSystem::SetDefault(const std::string& name)
{
    Loaded().SetDefault(name);
}

std::vector<std::string> ModulePrintSystem::InstalledPrinters()
{
    return Loaded().InstalledPrinters();
}

void ModulePrintSystem::CheckShare(const std::string& path)
{
    Loaded().CheckShare(path);
}

std::unique_ptr<PrintSystem> CreatePrintSystem()
{
    return std::make_unique<ModulePrintSystem>();
}
