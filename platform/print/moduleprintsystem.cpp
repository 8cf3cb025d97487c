#include "platform/print/moduleprintsystem.h"

#include "platform/host/programmodule.h"

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
    try {
        using Factory = PrintSystem* (*)();
        auto create = reinterpret_cast<Factory>(
            LoadProgramModule(name, "wd_create_print_system", "printing module"));
        system.reset(create());
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
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

void ModulePrintSystem::Connect(const std::string& path, const QueueSetup& setup)
{
    Loaded().Connect(path, setup);
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

void ModulePrintSystem::Prepare(const std::vector<std::string>& paths, PrintLogon logon)
{
    try {
        Loaded().Prepare(paths, logon);
    } catch (const PrintError&) {
    }
}

std::string ModulePrintSystem::CheckShare(const std::string& path, PrintLogon logon)
{
    return Loaded().CheckShare(path, logon);
}

std::vector<PrinterDriver> ModulePrintSystem::Drivers()
{
    return Loaded().Drivers();
}

std::unique_ptr<PrintSystem> CreatePrintSystem(bool loadNow)
{
    auto system = std::make_unique<ModulePrintSystem>();
    if (loadNow)
        system->StartLoading();
    return system;
}
