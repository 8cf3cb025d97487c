#include "platform/dbwidgets/datasource.h"

TDataSource::TDataSource(RowSet& dataSet, QObject* parent) : QObject(parent), dataSet_(dataSet)
{
    subscription_ = dataSet_.Subscribe([this](RowSetEvent e) {
        switch (e) {
        case RowSetEvent::DataChanged:
            emit dataChanged();
            break;
        case RowSetEvent::Scrolled:
            emit scrolled();
            break;
        case RowSetEvent::FieldChanged:
            emit fieldChanged();
            break;
        case RowSetEvent::StateChanged:
            emit stateChanged();
            break;
        }
    });
}

TDataSource::~TDataSource()
{
    dataSet_.Unsubscribe(subscription_);
}

void TDataSource::Edit()
{
    if (dataSet_.State() == DataSetState::Browse)
        dataSet_.Edit();
}
