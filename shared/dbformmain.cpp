#include "shared/dbformmain.h"

Tdbform::Tdbform(TBrevUtil brevUtil, QObject* parent)
    : QObject(parent), DataModule(std::move(brevUtil)), ConfigDataSet(ConfigTable),
      PrintersTableDataSource(printerstable), MapRulesTableDataSource(MapRulesTable),
      AvailablePrintersDataSource(AvailablePrintersQuery)
{
    setObjectName("dbform");
}
