#include "client/whatif.h"

#include "client/clientswitches.h"
#include "client/runfacts.h"
#include "client/runplan.h"
#include "platform/print/printsystem.h"
#include "shared/datamodule.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

namespace
{

// What asks the print system for the what-if: whether a share answers as a printer share,
// and which drivers this computer has, asked once.
class PrinterCheck
{
public:
    PrinterCheck(PrintSystem* system, PrintLogon logon) : system_(system), logon_(logon) {}

    // "connect (...)", or why the printer would not be connected.
    std::string Result(const SlotPlan& slot, bool& connects)
    {
        // Unasked, the run will still try it.
        connects = !system_;
        const std::string driver = slot.driver.empty() ? "" : "; driver " + slot.driver;
        if (!system_)
            return Words(SlotAction::Connect) + " (share not checked" + driver + ")";
        std::string unchecked;
        try {
            unchecked = system_->CheckShare(slot.path, logon_);
            if (!slot.driver.empty() && !HasDriver(slot.driver))
                throw MissingDriver(slot.driver);
        } catch (const std::exception& e) {
            return FailureWords(e);
        }
        connects = true;
        return Words(SlotAction::Connect) +
               (unchecked.empty() ? " (the share answers as a printer share"
                                  : " (not checked: " + unchecked) +
               driver + ")";
    }

private:
    bool HasDriver(const std::string& name)
    {
        if (!driversRead_)
            drivers_ = system_->Drivers();
        driversRead_ = true;
        return std::any_of(drivers_.begin(), drivers_.end(),
                           [&name](const PrinterDriver& d) { return d.name == name; });
    }

    PrintSystem* system_;
    PrintLogon logon_;
    std::vector<PrinterDriver> drivers_;
    bool driversRead_ = false;
};

void ReportRule(std::ostream& out, const RulePlan& plan, PrinterCheck& printers,
                std::optional<std::string>& lastDefault)
{
    if (!plan.notHere.empty()) {
        out << "rule " << plan.name << ": matches, not here: " << plan.notHere << "\n";
        return;
    }
    if (!plan.active) {
        out << "rule " << plan.name << ": matches, inactive: nothing to do\n";
        return;
    }
    out << "rule " << plan.name << ": matches, active\n";
    if (plan.clearFirst)
        out << "  clear: the user's network printer connections are removed first\n";
    std::vector<bool> connects(5, false); // by slot number
    for (const SlotPlan& slot : plan.slotPlans) {
        out << "  slot " << slot.slot << " ";
        if (slot.action == SlotAction::Connect) {
            bool connected = false;
            const std::string result = printers.Result(slot, connected);
            connects[slot.slot] = connected;
            out << slot.path << ": " << result << "\n";
        } else {
            out << slot.stored << ": " << Words(slot.action) << "\n";
        }
    }
    if (plan.defaultSlot == 0) {
        out << "  default: unchanged\n";
        return;
    }
    // The run starts the default step whatever the slot holds; say when it names no printer
    // that this rule connects, as the print system may then refuse it.
    out << "  default " << plan.defaultPath << ": set (slot " << plan.defaultSlot
        << (connects[plan.defaultSlot] ? "" : ", which this rule does not connect") << ")\n";
    lastDefault = plan.defaultPath;
}

// What the run will seed, or where it may not write, take as it is.
void ReportMissingRows(std::ostream& out, DataModule& dbform)
{
    const bool writable = dbform.Writable();
    if (dbform.ConfigMissing())
        out << (writable ? "note: the run first adds the missing Config row, both options on\n"
                         : "note: the Config row is missing: both options on (the database "
                           "cannot be written here, so the run does not add it)\n");
    if (dbform.NonePrinterMissing())
        out << (writable ? "note: the run first adds the missing printer None\n"
                         : "note: the printer None is missing: slots that name it connect "
                           "nothing (the database cannot be written here, so the run does "
                           "not add it)\n");
}

std::string Report(DataModule& dbform, const std::string& clientName, const std::string& user,
                   PrintSystem* shares, const std::optional<std::vector<IpAddress>>& addresses)
{
    std::ostringstream out;
    out << "what-if: nothing is done\n";
    out << "computer: " << clientName << "\n";
    out << "user: " << user << "\n";
    out << "database: " << dbform.ADOConnection.Location() << "\n";
    RunFacts facts = ReadRunFacts(dbform, clientName, user);
    if (addresses)
        facts.addresses = [addresses] { return *addresses; };
    out << "logon: " << PrintLogonText(facts.options.logon) << "\n";
    ReportMissingRows(out, dbform);
    const RunPlan plan = PlanRun(facts);
    PrinterCheck printers(shares, facts.options.logon);
    std::optional<std::string> lastDefault;
    for (const RulePlan& rule : plan.rules)
        ReportRule(out, rule, printers, lastDefault);
    if (plan.rules.empty())
        out << "no rule matches: " << Words(plan.noMatch, plan.whyNotStorable) << "\n";
    out << "default at the end: " << lastDefault.value_or("unchanged") << "\n";
    return out.str();
}

} // namespace

std::string WhatIfReport(const TBrevUtil& util, const std::string& clientName,
                         const std::string& user, PrintSystem* shares,
                         const std::optional<std::vector<IpAddress>>& addresses)
{
    // A connection of its own, read-only: the report changes nothing, not even the current
    // rows of an open program's grids.
    DataModule dbform(util);
    dbform.SetConnection(Access::ReadOnly);
    return Report(dbform, clientName, user, shares, addresses);
}

int RunWhatIf(const TBrevUtil& brevUtil, const ClientSwitches& switches, std::ostream& out,
              std::ostream& err)
{
    try {
        std::string user;
        // A switch beats the built-in name in printer paths, so it names the user here too.
        if (!brevUtil.ReadCommandLine("USERNAME", user))
            user = brevUtil.CurrentUserName();
        std::unique_ptr<PrintSystem> shares;
        if (!switches.offline)
            shares = CreatePrintSystem();
        out << WhatIfReport(brevUtil, switches.Computer(brevUtil), user, shares.get());
        return 0;
    } catch (const std::exception& e) {
        err << "wdclient: " << e.what() << std::endl;
        return 1;
    }
}
