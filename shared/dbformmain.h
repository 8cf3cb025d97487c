#pragma once

#include "platform/dbwidgets/datasource.h"
#include "shared/datamodule.h"

#include <QObject>

// The data module of the windows: the tables and queries, and the data sources through which
// every form reaches them. Never shown.
class Tdbform : public QObject, public DataModule
{
    Q_OBJECT
public:
    explicit Tdbform(TBrevUtil brevUtil, QObject* parent = nullptr);

    // Made after the row sets of the base and gone before them.
    TDataSource ConfigDataSet;
    TDataSource PrintersTableDataSource;
    TDataSource MapRulesTableDataSource;
    TDataSource AvailablePrintersDataSource;
};
