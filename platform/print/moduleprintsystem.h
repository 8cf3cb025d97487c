#pragma once

#include "platform/print/printsystem.h"

#include <memory>
#include <string>
#include <thread>

// The printing system of this OS, loaded from its module (libwdprint.so, beside the program):
// the print and SMB libraries it needs cost a logon more than all the rest of the run, so
// they are loaded on a thread of their own while the caller goes on (opening the database,
// reading the rules), or when first used.
class ModulePrintSystem : public PrintSystem
{
public:
    explicit ModulePrintSystem(std::string moduleName = "libwdprint.so");
    // Left to end with the process when still loading: a run that needs no printer does not
    // wait for it.
    ~ModulePrintSystem() override;

    // Starts loading the module on a thread; the first use waits for it.
    void StartLoading();

    void Connect(const std::string& path, const QueueSetup& setup = {}) override;
    void Remove(const std::string& listedName) override;
    void SetDefault(const std::string& name) override;
    std::vector<std::string> InstalledPrinters() override;
    // Nothing when the module cannot be loaded: Connect says why.
    void Prepare(const std::vector<std::string>& paths,
                 PrintLogon logon = PrintLogon::None) override;
    std::string CheckShare(const std::string& path, PrintLogon logon = PrintLogon::None) override;
    std::vector<PrinterDriver> Drivers() override;

private:
    struct Module;
    PrintSystem& Loaded();

    std::shared_ptr<Module> module_; // shared with the loading thread
    std::thread loading_;
};
