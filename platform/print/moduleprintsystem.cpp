#include "platform/print/moduleprintsystem.h"

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
    // Found through the program's run path: its own folder first.
    handle_ = dlopen(moduleName_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        throw PrintError("The printing module could not be loaded (" + std::string(dlerror()) +
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
