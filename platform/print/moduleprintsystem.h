#pragma once

#include "platform/print/printsystem.h"

#include <memory>
#include <string>

// The printing system of this OS, loaded from its module (libwdprint.so, beside the program)
// when first used: the print and SMB libraries it needs cost a logon that finds nothing to
// connect more than all the rest of the run.
class ModulePrintSystem : public PrintSystem
{
public:
    explicit ModulePrintSystem(std::string moduleName = "libwdprint.so");
    ~ModulePrintSystem() override;

    void Connect(const std::string& path) override;
    void Remove(const std::string& listedName) override;
    void SetDefault(const std::string& name) override;
    std::vector<std::string> InstalledPrinters() override;
    void CheckShare(const std::string& path) override;

private:
    PrintSystem& Loaded();

    std::string moduleName_;
    void* handle_ = nullptr;
    std::string loadError_;
    std::unique_ptr<PrintSystem> system_;
};
