#include "shared/datamodule.h"

#include "platform/store/storeerror.h"
#include "platform/store/tables.h"

#include <functional>

DataModule::DataModule(TBrevUtil brevUtil)
    : ConfigTable(ADOConnection, "ConfigTable"), printerstable(ADOConnection, "printerstable"),
      MapRulesTable(ADOConnection, "MapRulesTable"),
      AvailablePrintersQuery(ADOConnection, "AvailablePrintersQuery"),
      RuleQuery(ADOConnection, "RuleQuery"), BrevUtil1(std::move(brevUtil))
{
    ConfigTable.SetTableName("Config");
    printerstable.SetTableName("printers");
    MapRulesTable.SetTableName("MapRules");
    // Messages name what the user sees, not these component names.
    ConfigTable.SetCaption("set of options", "the global options");
    printerstable.SetCaption("printer", "the printer list");
    MapRulesTable.SetCaption("rule", "the rule list");
    AvailablePrintersQuery.SetCaption("printer", "the list of available printers");
    RuleQuery.SetCaption("rule", "the rules for this computer");
    AvailablePrintersQuery.SQL() = {"select UNCName, Description ", "from Printers",
                                    "where Available = True", "ORDER BY UNCNAME;"};
}

namespace
{

void SeedConfig(RowSet& config)
{
    if (config.RecordCount() > 0)
        return;
    config.Insert();
    config.FieldByName("clearprintersfirst").SetAsBoolean(true);
    config.FieldByName("AllowClientSelection").SetAsBoolean(true);
    config.Post();
}

// Asked of the store rather than of the list: a run whose rule is inactive reads no printer.
bool HasNonePrinter(Connection& connection)
{
    return connection.Driver().Prepare("SELECT 1 FROM printers WHERE UNCNAME = 'None'")->Step();
}

void SeedNonePrinter(Connection& connection, RowSet& printers)
{
    if (HasNonePrinter(connection))
        return;
    printers.Insert();
    printers.FieldByName("UNCNAME").SetAsString(kNonePrinter);
    printers.FieldByName("Description").SetAsString(kNonePrinterDescription);
    printers.FieldByName("Available").SetAsBoolean(true);
    try {
        printers.Post();
    } catch (const StoreError&) {
        // Another program at logon may have added it since this one read the table.
        printers.Cancel();
        printers.Refresh();
        if (!printers.Locate("UNCNAME", "None"))
            throw;
    }
}

// A read-only database is not seeded: the rows it lacks hold in memory for this run.
// A server may still refuse the write (a standby, no INSERT grant) after the look.
void SeedWhereWritable(Access access, RowSet& table, const std::function<void()>& seed)
{
    try {
        seed();
    } catch (const StoreError& e) {
        if (access != Access::WriteWhereAllowed || e.Fault() != StoreFault::ReadOnly)
            throw;
        table.Cancel();
    }
}

} // namespace

void DataModule::SetConnection(bool readOnly, const std::string& systemConf)
{
    SetConnection(readOnly ? Access::WriteWhereAllowed : Access::ReadWrite, systemConf);
}

void DataModule::SetConnection(Access access, const std::string& systemConf)
{
    ADOConnection.Close();
    const DatabaseLocation database = LocateDatabase(BrevUtil1.getstartdir(), systemConf);
    ADOConnection.Open({database.location, access});
    const bool seed = ADOConnection.Writable();

    ConfigTable.Open();
    if (seed)
        SeedWhereWritable(access, ConfigTable, [this] { SeedConfig(ConfigTable); });
    ConfigTable.First();
    if (!ConfigTable.Eof())
        ConfigTable.Edit();

    printerstable.Open();
    if (seed)
        SeedWhereWritable(access, printerstable,
                          [this] { SeedNonePrinter(ADOConnection, printerstable); });
    printerstable.SetSort("UNCNAME ASC");

    MapRulesTable.Open();
    MapRulesTable.SetSort("RULENAME ASC");
}

SiteOptions DataModule::Options()
{
    if (ConfigMissing())
        return {};
    // A field without a value counts as off.
    SiteOptions options{ConfigTable.FieldByName("ClearPrintersFirst").AsBoolean(),
                        ConfigTable.FieldByName("AllowClientSelection").AsBoolean()};
    // A database older than the field logs on as before: not at all.
    if (ConfigTable.FindField("PrintAuthentication") >= 0)
        options.logon =
            PrintLogonFromText(ConfigTable.FieldByName("PrintAuthentication").AsString());
    return options;
}

bool DataModule::ConfigMissing()
{
    return ConfigTable.RecordCount() == 0;
}

bool DataModule::NonePrinterMissing()
{
    return !HasNonePrinter(ADOConnection);
}

bool DataModule::Writable() const
{
    return ADOConnection.MayWrite();
}
