#include "client/runplan.h"

#include "client/uncmap.h"
#include "client/wdclient.h"
#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"
#include "platform/store/rowset.h"
#include "shared/datamodule.h"

#include <map>

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
    sources.clearFirst = dbform.Options().clearPrintersFirst;
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

namespace
{

// Where the rule query's fields lie in its rows, by name in upper case; each is read as a
// field of the query would read it.
class RuleColumns
{
public:
    RuleColumns(const DriverStatement& row, std::string list) : list_(std::move(list))
    {
        for (int i = 0; i < row.ColumnCount(); ++i) {
            columns_[UpperCaseAscii(row.ColumnName(i))] = i;
            names_.push_back(row.ColumnName(i));
        }
    }

    std::string Text(const DriverStatement& row, const char* field) const
    {
        const int i = Column(field);
        return i < 0 ? std::string() : ValueText(row.ColumnValue(i), row.ColumnType(i));
    }

    RuleRow Read(const DriverStatement& row) const
    {
        RuleRow rule;
        rule.name = Text(row, "RULENAME");
        for (int slot = 1; slot <= 4; ++slot)
            rule.uncPaths[slot - 1] = Text(row, ("UNCPATH" + std::to_string(slot)).c_str());
        const Value slot = ValueOf(row, "DEFAULT");
        const std::optional<long long> defaultSlot = ValueAsInteger(slot);
        if (!defaultSlot)
            throw StoreError(NotAValue(slot, NameOf("DEFAULT"), list_, "a whole number"));
        rule.defaultSlot = *defaultSlot;
        const Value active = ValueOf(row, "ACTIVE");
        const std::optional<bool> isActive = ValueAsBoolean(active);
        if (!isActive)
            throw StoreError(NotAValue(active, NameOf("ACTIVE"), list_, "a yes/no value"));
        rule.active = *isActive;
        return rule;
    }

private:
    int Column(const char* field) const
    {
        const auto found = columns_.find(field);
        return found == columns_.end() ? -1 : found->second;
    }
    // As the database spells it, for messages.
    std::string NameOf(const char* field) const
    {
        const int i = Column(field);
        return i < 0 ? field : names_[static_cast<size_t>(i)];
    }
    Value ValueOf(const DriverStatement& row, const char* field) const
    {
        const int i = Column(field);
        return i < 0 ? Value() : row.ColumnValue(i);
    }

    std::string list_;
    std::map<std::string, int> columns_;
    std::vector<std::string> names_;
};

} // namespace

bool VisitMatchingRules(RowSet& q, const std::string& clientName,
                        const std::function<void(const RuleRow&)>& matched)
{
    BuildRuleQuery(q, clientName);
    // Only the rows that apply are kept, and the reading is over before the first of them
    // is acted on: a logon holds no read lock on the file while it connects printers.
    std::vector<RuleRow> rules;
    std::optional<RuleColumns> columns;
    q.ReadRows([&](const DriverStatement& row) {
        if (!columns)
            columns.emplace(row, q.ListCaption());
        if (RuleNameMatches(columns->Text(row, "RULENAME"), clientName))
            rules.push_back(columns->Read(row));
    });
    for (const RuleRow& rule : rules)
        matched(rule);
    return !rules.empty();
}