// What a pass decides, from plain values: each slot, the default, and the end without a match.

#include "client/runplan.h"

#include <gtest/gtest.h>
#include <map>

namespace
{

// The printer list: \\srv\laser available, \\srv\old not, None; %U% expands to "ann".
RunFacts Facts(std::vector<RuleRecord> rules = {})
{
    RunFacts facts;
    facts.computer = "LAB1";
    facts.rules = std::move(rules);
    facts.findPrinter = [](const std::string& stored) -> std::optional<PrinterRecord> {
        static const std::map<std::string, PrinterRecord> printers = {
            {"\\\\SRV\\LASER", {"\\\\srv\\laser", true, "generic.ppd"}},
            {"\\\\SRV\\OLD", {"\\\\srv\\old", false, ""}},
            {"\\\\SRV\\%U%", {"\\\\srv\\%U%", true, ""}},
            {"NONE", {"None", true, ""}}};
        std::string key;
        for (char c : stored)
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const auto found = printers.find(key);
        return found == printers.end() ? std::nullopt : std::optional(found->second);
    };
    facts.expand = [](const std::string& text) {
        const size_t at = text.find("%U%");
        return at == std::string::npos ? text : text.substr(0, at) + "ann" + text.substr(at + 3);
    };
    return facts;
}

} // namespace

TEST(RunPlan, EachSlotAndTheDefaultFollowThePrinterListAndTheRule)
{
    const RuleRecord rule{
        "LAB*", {"\\\\SRV\\Laser", "\\\\srv\\old", "none", "\\\\srv\\gone"}, 3, true, "", ""};
    RunFacts facts = Facts();
    facts.options.logon = PrintLogon::Kerberos;
    const RulePlan plan = PlanRule(rule, facts);
    ASSERT_EQ(plan.slotPlans.size(), 4u);
    EXPECT_EQ(plan.slotPlans[0].action, SlotAction::Connect);
    EXPECT_EQ(plan.slotPlans[0].shown, "\\\\SRV\\Laser") << "the rule's text is shown";
    EXPECT_EQ(plan.slotPlans[0].path, "\\\\srv\\laser") << "the list's text is connected";
    EXPECT_EQ(plan.slotPlans[0].driver, "generic.ppd");
    EXPECT_EQ(plan.logon, PrintLogon::Kerberos);
    EXPECT_EQ(plan.slotPlans[1].action, SlotAction::SkipUnavailable);
    EXPECT_EQ(plan.slotPlans[2].action, SlotAction::SkipNone);
    EXPECT_EQ(plan.slotPlans[3].action, SlotAction::SkipNotListed);
    EXPECT_TRUE(plan.clearFirst) << "both options are on without a Config row";
    EXPECT_EQ(plan.defaultSlot, 3);
    EXPECT_EQ(plan.defaultPath, "none") << "whatever the slot holds";

    const RulePlan placeholder = PlanRule({"P", {"\\\\srv\\%U%"}, 1, true, "", ""}, Facts());
    EXPECT_EQ(placeholder.slotPlans[0].path, "\\\\srv\\ann");
    EXPECT_EQ(placeholder.defaultPath, "\\\\srv\\ann");
    for (long long slot : {0, 5, 6, -1})
        EXPECT_EQ(PlanRule({"P", {"\\\\srv\\laser"}, slot, true, "", ""}, Facts()).defaultSlot, 0);
    EXPECT_TRUE(PlanRule({"P", {"\\\\srv\\laser"}, 1, false, "", ""}, Facts()).slotPlans.empty());
}

TEST(RunPlan, WithoutAMatchTheOptionTheFileAndTheNameDecide)
{
    struct Case {
        bool allow;
        bool writable;
        const char* computer;
        NoMatch expected;
    } const cases[] = {
        {false, true, "LAB1", NoMatch::NothingToDo}, {true, false, "LAB1", NoMatch::ReadOnly},
        {true, true, "", NoMatch::NotStorable},      {true, true, "LAB\xff", NoMatch::NotStorable},
        {true, true, "LAB1", NoMatch::OfferToAdd},
    };
    for (const Case& c : cases) {
        RunFacts facts = Facts();
        facts.options.allowClientSelection = c.allow;
        facts.writable = c.writable;
        facts.computer = c.computer;
        const RunPlan plan = PlanRun(facts);
        EXPECT_EQ(plan.noMatch, c.expected) << c.computer;
    }
    RunFacts matched = Facts({{"LAB*", {}, 5, false, "", ""}});
    matched.options.allowClientSelection = false;
    EXPECT_EQ(PlanRun(matched).rules.size(), 1u) << "an inactive rule is still a match";
}

TEST(RunPlan, NetworksAndGroupsDecideWhereAndForWhomARuleApplies)
{
    struct Case {
        const char* networks;
        const char* groups;
        const char* notHere; // a part of why not; "" when the rule applies
    } const cases[] = {
        {"", "", ""},
        {"10.1.0.0/16", "", ""},
        {"10.2.0.0/16, 192.168.5.7/32", "", ""}, // the second address
        {"10.1.127.255/17", "", ""},             // host bits set: the network counts
        {"10.1.128.0/17", "", "none of its networks (10.1.128.0/17)"},
        {"0.0.0.0/0", "", ""},
        {"2001:db8:5::/48", "", ""},
        {"2001:db8:5:8000::/49", "", "none of its networks"},
        {"::/0", "", ""},
        {"192.168.5.8/32", "", "none of its networks"},
        {"10.0.0.0/33", "", "cannot be read: \"10.0.0.0/33\" is not a network"},
        {"10.1.0.0/16 lab", "", "\"lab\" is no IPv4 or IPv6 address"},
        {"", "staff", ""},
        {"", "Teachers, example\\PRINT users", ""}, // a domain's group, any case
        {"", "Students", "none of its groups (Students)"},
        {"", "staff,,x", "cannot be read: a group name is empty"},
        {"10.1.0.0/16", "Students", "none of its groups"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.networks) + " | " + c.groups);
        RunFacts facts = Facts({{"LAB*", {"\\\\srv\\laser"}, 5, true, c.networks, c.groups}});
        facts.user = "ann";
        facts.addresses = [] {
            return std::vector<IpAddress>{*ParseIpAddress("10.1.2.3"),
                                          *ParseIpAddress("192.168.5.7"),
                                          *ParseIpAddress("2001:db8:5:1::9")};
        };
        facts.groups = [] {
            return std::vector<std::string>{"ann", "STAFF", "EXAMPLE\\Print Users"};
        };
        const RunPlan plan = PlanRun(facts);
        ASSERT_EQ(plan.rules.size(), 1u) << "a rule that matched by name still counts";
        EXPECT_NE(plan.rules[0].notHere.find(c.notHere), std::string::npos)
            << plan.rules[0].notHere;
        EXPECT_EQ(plan.rules[0].notHere.empty(), !*c.notHere) << plan.rules[0].notHere;
        EXPECT_EQ(plan.rules[0].slotPlans.empty(), !plan.rules[0].notHere.empty());
    }
}
