#include "client/runplan.h"

#include "platform/host/textutil.h"
#include "platform/print/printsystem.h"

namespace
{

SlotPlan PlanSlot(int slot, const std::string& stored, const RunFacts& facts)
{
    SlotPlan plan;
    plan.slot = slot;
    plan.stored = stored;
    const std::optional<PrinterRecord> printer = facts.findPrinter(stored);
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
    plan.driver = printer->driver;
    plan.shown = facts.expand(stored);
    // Connected by the printers row's own text; the status shows the rule's.
    plan.path = facts.expand(printer->uncName);
    plan.action = UpperCaseAscii(plan.path) == "NONE" ? SlotAction::SkipNone : SlotAction::Connect;
    return plan;
}

NoMatch PlanNoMatch(const RunFacts& facts, std::string& whyNotStorable)
{
    if (!facts.options.allowClientSelection)
        return NoMatch::NothingToDo;
    // Asking would fail at every logon of a user who may only read the database.
    if (!facts.writable)
        return NoMatch::ReadOnly;
    whyNotStorable = WhyNotStorable(facts.computer);
    return whyNotStorable.empty() ? NoMatch::OfferToAdd : NoMatch::NotStorable;
}

} // namespace

RulePlan PlanRule(const RuleRecord& rule, const RunFacts& facts)
{
    RulePlan plan;
    plan.name = rule.name;
    plan.active = rule.active;
    if (!rule.active)
        return plan;
    plan.clearFirst = facts.options.clearPrintersFirst;
    plan.logon = facts.options.logon;
    for (int slot = 1; slot <= 4; ++slot)
        plan.slotPlans.push_back(PlanSlot(slot, rule.uncPaths[slot - 1], facts));
    // Whatever the slot holds: neither the printers table nor "None" is looked at.
    if (rule.defaultSlot >= 1 && rule.defaultSlot <= 4) {
        plan.defaultSlot = static_cast<int>(rule.defaultSlot);
        plan.defaultPath = facts.expand(rule.uncPaths[plan.defaultSlot - 1]);
    }
    return plan;
}

RunPlan PlanRun(const RunFacts& facts)
{
    RunPlan plan;
    // Asked once, and only for a rule that has the condition.
    std::optional<std::vector<IpAddress>> addresses;
    std::optional<std::vector<std::string>> groups;
    const ConditionSources sources{[&]() -> const std::vector<IpAddress>& {
                                       if (!addresses)
                                           addresses = facts.addresses();
                                       return *addresses;
                                   },
                                   [&]() -> const std::vector<std::string>& {
                                       if (!groups)
                                           groups = facts.groups();
                                       return *groups;
                                   },
                                   facts.user};
    for (const RuleRecord& rule : facts.rules) {
        RulePlan ruled;
        if (std::string why = WhyConditionsFail(rule.networks, rule.groups, sources);
            !why.empty()) {
            ruled.name = rule.name;
            ruled.active = rule.active;
            ruled.notHere = why;
        } else {
            ruled = PlanRule(rule, facts);
        }
        plan.rules.push_back(ruled);
    }
    if (plan.rules.empty())
        plan.noMatch = PlanNoMatch(facts, plan.whyNotStorable);
    return plan;
}

// A name the add path could not store as a rule that ever matches: it would be asked again
// at once, and a junk rule added each time.
std::string WhyNotStorable(const std::string& computer)
{
    if (computer.empty())
        return "the computer name is empty";
    if (!IsValidUtf8(computer))
        return "the computer name is not valid UTF-8 text";
    return "";
}

std::string Words(SlotAction action)
{
    switch (action) {
    case SlotAction::Connect:
        return "connect";
    case SlotAction::SkipNone:
        return "no printer";
    case SlotAction::SkipNotListed:
        return "skipped: not in the printer list";
    case SlotAction::SkipUnavailable:
        return "skipped: unavailable";
    }
    return "";
}

std::string Words(NoMatch noMatch, const std::string& whyNotStorable)
{
    switch (noMatch) {
    case NoMatch::NothingToDo:
        return "nothing to do";
    case NoMatch::ReadOnly:
        return "nothing to do (no rule can be added: the database cannot be written here)";
    case NoMatch::NotStorable:
        return "nothing to do (no rule can be added: " + whyNotStorable + ")";
    case NoMatch::OfferToAdd:
        return "the user is asked to add a rule";
    }
    return "";
}

std::string Words(ActionResult result, const std::string& reason)
{
    switch (result) {
    case ActionResult::Connected:
        return "connected";
    case ActionResult::Removed:
        return "removed";
    case ActionResult::DefaultSet:
        return "set";
    case ActionResult::Refused:
        return "refused: " + reason;
    case ActionResult::ServerNotAnswering:
        return "server not answering: " + reason;
    }
    return "";
}

ActionResult FailureOf(const std::exception& error)
{
    return dynamic_cast<const PrintServerUnreachable*>(&error) ? ActionResult::ServerNotAnswering
                                                               : ActionResult::Refused;
}

std::string FailureWords(const std::exception& error)
{
    return Words(FailureOf(error), error.what());
}
