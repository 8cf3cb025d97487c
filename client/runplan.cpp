#include "client/runplan.h"

#include "client/uncmap.h"
#include "client/wdclient.h"
#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/store/rowset.h"
#include "shared/datamodule.h"

RuleRow ReadRuleRow(RowSet& q)
{
    RuleRow row;
    row.name = q.FieldByName("RULENAME").AsString();
    for (int slot = 1; slot <= 4; ++slot)
        row.uncPaths[slot - 1] = q.FieldByName("UNCPath" + std::to_string(slot)).AsString();
    row.defaultSlot = q.FieldByName("Default").AsInteger();
    row.active = q.FieldByName("ACTIVE").AsBoolean();
    return row;
}

namespace
{

SlotPlan PlanSlot(int slot, const std::string& stored, const PlanSources& sources)
{
    SlotPlan plan{slot, stored, "", "", SlotAction::SkipNotListed};
    const std::optional<PrinterRow> printer = sources.findPrinter(stored);
    if (!printer)
        return plan;
    if (!printer->available) {
        plan.action = SlotAction::SkipUnavailable;
        return plan;
    }
    if (UpperCaseAscii(stored) == "NONE") {
        plan.action = SlotAction::SkipNone;
        return plan;
    }
    plan.action = SlotAction::Connect;
    plan.shown = sources.expand(stored);
    // Connected by the printers row's own text; the status shows the rule's.
    plan.path = sources.expand(printer->uncName);
    return plan;
}

} // namespace

RulePlan PlanRule(const RuleRow& rule, const PlanSources& sources)
{
    RulePlan plan;
    plan.name = rule.name;
    plan.active = rule.active;
    if (!rule.active)
        return plan;
    plan.clearFirst = sources.clearFirst;
    for (int slot = 1; slot <= 4; ++slot)
        plan.slotPlans.push_back(PlanSlot(slot, rule.uncPaths[slot - 1], sources));
    // Whatever the slot holds: neither the printers table nor "None" is looked at.
    if (rule.defaultSlot >= 1 && rule.defaultSlot <= 4) {
        plan.defaultSlot = static_cast<int>(rule.defaultSlot);
        plan.defaultPath = sources.expand(rule.uncPaths[plan.defaultSlot - 1]);
    }
    return plan;
}

std::string SkipReason(SlotAction action)
{
    switch (action) {
    case SlotAction::SkipNone:
        return "skipped: None";
    case SlotAction::SkipNotListed:
        return "skipped: not in the printer list";
    case SlotAction::SkipUnavailable:
        return "skipped: unavailable";
    case SlotAction::Connect:
        break;
    }
    return "";
}

std::string FailureResult(const std::exception& error)
{
    const bool unreachable = dynamic_cast<const PrintServerUnreachable*>(&error) != nullptr;
    return (unreachable ? "server not answering: " : "refused: ") + std::string(error.what());
}

PlanSources PlanSourcesOf(DataModule& dbform)
{
    PlanSources sources;
    RowSet& config = dbform.ConfigTable;
    sources.clearFirst =
        config.RecordCount() == 0 || config.FieldByName("ClearPrintersFirst").AsBoolean();
    sources.findPrinter =
        [&printers = dbform.printerstable](const std::string& stored) -> std::optional<PrinterRow> {
        if (printers.Locate("UNCNAME", stored))
            return PrinterRow{printers.FieldByName("UNCNAME").AsString(),
                              printers.FieldByName("Available").AsBoolean()};
        if (UpperCaseAscii(stored) == "NONE")
            return PrinterRow{"None", true};
        return std::nullopt;
    };
    sources.expand = [&util = dbform.BrevUtil1](const std::string& text) {
        return ExpandVariables(text, util);
    };
    return sources;
}

bool VisitMatchingRules(RowSet& q, const std::string& clientName,
                        const std::function<void(const RuleRow&)>& matched)
{
    BuildRuleQuery(q, clientName);
    q.Open();
    bool any = false;
    for (q.First(); !q.Eof(); q.Next()) {
        if (!RuleNameMatches(q.FieldByName("RULENAME").AsString(), clientName))
            continue;
        any = true;
        matched(ReadRuleRow(q));
    }
    return any;
}
