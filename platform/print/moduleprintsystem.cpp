#include "platform/print/moduleprintsystem.h"

#include "platform/host/brevutil.h"

#include <dlfcn.h>
#include <pthread.h>

#include <mutex>

namespace
{

// A child forked while the module loads would inherit the loader's locks held, and hang in
// its own first dlopen (libsmbclient loads plugins): a fork waits for a load under way.
std::mutex& LoadLock()
{
    static std::mutex lock;
    return lock;
}

void MakeForksWaitForLoads()
{
    static std::once_flag once;
    std::call_once(once, [] {
        pthread_atfork([] { LoadLock().lock(); }, [] { LoadLock().unlock(); },
                       [] { LoadLock().unlock(); });
    });
}

} // namespace

// What loading gave: the module's print system, or why there is none (looked for once).
struct ModulePrintSystem::Module {
    std::string name;
    bool tried = false;
    std::string error;
    std::unique_ptr<PrintSystem> system;

    void Load();
};

void ModulePrintSystem::Module::Load()
{
    const std::lock_guard<std::mutex> loading(LoadLock());
    tried = true;
    // Only places that go with the program itself: a path fixed at build time would let
    // whoever can later create that folder run code at every logon. Full paths: a run path
    // would be the caller's, which is not the program when dlopen is intercepted (sanitizers).
    const std::string program = ProgramDirectory();
    std::string looked;
    void* handle = nullptr;
    for (const std::string& dir : {program, program + WD_MODULE_FROM_PROGRAM "/"}) {
        const std::string file = dir + name;
        handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle)
            break;
        const char* why = dlerror();
        looked += "\n  " + (why != nullptr ? std::string(why) : file);
    }
    // Left loaded: its libraries may keep threads or handlers until the process ends.
    if (!handle) {
        error = "The printing module " + name +
                " could not be loaded; it must lie beside the program or in its installed "
                "library folder. Tried:" +
                looked;
        return;
    }
    using Factory = PrintSystem* (*)();
    auto create = reinterpret_cast<Factory>(dlsym(handle, "wd_create_print_system"));
    if (!create) {
        error = "The printing module " + name + " is not one of this system's.";
        return;
    }
    system.reset(create());
}

ModulePrintSystem::ModulePrintSystem(std::string moduleName) : module_(std::make_shared<Module>())
{
    module_->name = std::move(moduleName);
}

ModulePrintSystem::~ModulePrintSystem()
{
    if (loading_.joinable())
        loading_.detach();
}

void ModulePrintSystem::StartLoading()
{
    if (loading_.joinable() || module_->tried)
        return;
    MakeForksWaitForLoads();
    loading_ = std::thread([module = module_] { module->Load(); });
}

PrintSystem& ModulePrintSystem::Loaded()
{
    if (loading_.joinable())
        loading_.join();
    if (!module_->tried)
        module_->Load();
    if (!module_->system)
        throw PrintError(module_->error);
    return *module_->system;
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

void ModulePrintSystem::Prepare(const std::vector<std::string>& paths)
{
    try {
        Loaded().Prepare(paths);
    } catch (const PrintError&) {
    }
}

void ModulePrintSystem::CheckShare(const std::string& path)
{
    Loaded().CheckShare(path);
}

std::unique_ptr<PrintSystem> CreatePrintSystem()
{
    auto system = std::make_unique<ModulePrintSystem>();
    system->StartLoading();
    return system;
}
