#include "platform/print/moduleprintsystem.h"

#include <dlfcn.h>
#include <unistd.h>

ModulePrintSystem::ModulePrintSystem(std::string moduleName) : moduleName_(std::move(moduleName)) {}

ModulePrintSystem::~ModulePrintSystem()
{
    system_.reset();
    // Left loaded: its libraries may keep threads or handlers until the process ends.
}

namespace
{

std::string ProgramDirectory()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string path(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

PrintSystem& ModulePrintSystem::Loaded()
{
    if (system_)
        return *system_;
    // Beside the program first, else where the build puts it. Full paths: a run path would
    // be the caller's, which is not the program when dlopen is intercepted (sanitizers).
    std::string error;
    for (const std::string& dir : {ProgramDirectory(), std::string(WD_MODULE_DIR "/")}) {
        handle_ = dlopen((dir + moduleName_).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_)
            break;
        error = dlerror();
    }
    if (!handle_)
        throw PrintError("The printing module could not be loaded (" + error +
                         "). It must lie beside the program.");
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

std::unique_ptr<PrintSystem> CreatePrintSystem()
{
    return std::make_unique<ModulePrintSystem>();
}
