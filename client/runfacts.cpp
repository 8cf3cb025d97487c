#include "client/runfacts.h"

#include "client/uncmap.h"
#include "platform/host/textutil.h"
#include "platform/host/usergroups.h"
#include "platform/store/rowset.h"
#include "shared/datamodule.h"

#include <map>

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

    RuleRecord Read(const DriverStatement& row) const
    {
        RuleRecord rule;
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
        // Older databases lack the conditions: the rule applies wherever its name matches.
        rule.networks = Text(row, "NETWORKS");
        rule.groups = Text(row, "GROUPS");
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

// The rows that apply, read before any of them is acted on: a logon holds no read lock on
// the file while it connects printers.
std::vector<RuleRecord> MatchingRules(RowSet& q, const std::string& clientName)
{
    BuildRuleQuery(q, clientName);
    std::vector<RuleRecord> rules;
    std::optional<RuleColumns> columns;
    q.ReadRows([&](const DriverStatement& row) {
        if (!columns)
            columns.emplace(row, q.ListCaption());
        if (RuleNameMatches(columns->Text(row, "RULENAME"), clientName))
            rules.push_back(columns->Read(row));
    });
    return rules;
}

} // namespace

void BuildRuleQuery(RowSet& q, const std::string& clientName)
{
    q.Close();
    q.SQL().clear();
    q.SQL().push_back("Select *");
    q.SQL().push_back("from MapRules");
    // The name is bound, never spliced into the text.
    q.SQL().push_back("where RULENAME LIKE '%*%' or RULENAME=:ClientName");
    q.SQL().push_back("order by RULENAME;");
    q.SetParameter("ClientName", Value::Text(clientName));
}

RunFacts ReadRunFacts(DataModule& dbform, const std::string& computer, const std::string& user)
{
    RunFacts facts;
    facts.computer = computer;
    facts.user = user;
    facts.addresses = HostAddresses;
    facts.groups = [user] { return GroupsOf(user); };
    facts.options = dbform.Options();
    facts.writable = dbform.Writable();
    facts.rules = MatchingRules(dbform.RuleQuery, computer);
    facts.findPrinter = [&printers = dbform.printerstable](
                            const std::string& stored) -> std::optional<PrinterRecord> {
        if (printers.Locate("UNCNAME", stored))
            // A database older than the field has raw queues only.
            return PrinterRecord{
                printers.FieldByName("UNCNAME").AsString(),
                printers.FieldByName("Available").AsBoolean(),
                printers.FindField("Driver") < 0 ? "" : printers.FieldByName("Driver").AsString()};
        // A database nobody may write lacks it until an administrator's program opens it.
        if (UpperCaseAscii(stored) == "NONE")
            return PrinterRecord{"None", true, ""};
        return std::nullopt;
    };
    facts.expand = [&util = dbform.BrevUtil1](const std::string& text) {
        return ExpandVariables(text, util);
    };
    return facts;
}
