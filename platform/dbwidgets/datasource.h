#pragma once

#include "platform/store/rowset.h"

#include <QObject>

// Binds data-aware controls to a row set: relays the row set's events as signals.
class TDataSource : public QObject
{
    Q_OBJECT
public:
    explicit TDataSource(RowSet& dataSet, QObject* parent = nullptr);
    ~TDataSource() override;

    RowSet& DataSet() const { return dataSet_; }
    // Puts the row set into edit mode when it is browsing, so that a control can write.
    void Edit();

signals:
    void dataChanged();
    void scrolled();
    void fieldChanged();
    void stateChanged();

private:
    RowSet& dataSet_;
    int subscription_;
};
