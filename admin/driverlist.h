#pragma once

#include "platform/print/printsystem.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

// The drivers that the printing system of this computer offers, read once, on a thread of
// its own: CUPS takes about a second to list them, and the windows answer meanwhile.
class DriverList : public QObject
{
    Q_OBJECT
public:
    enum class State { NotRead, Reading, Read, Failed };

    explicit DriverList(QObject* parent = nullptr);
    // A reading still under way is left to end with the process: closing the program does
    // not wait for a print server that does not answer.
    ~DriverList() override;

    // Starts reading, the first time only; ready() follows on this object's thread.
    void Start();
    State Progress() const { return state_; }
    const std::vector<PrinterDriver>& Drivers() const { return drivers_; }
    // Why there is no list, when Failed.
    const QString& Error() const { return error_; }

signals:
    void ready();

private:
    struct Reply;
    void Take(const Reply& reply);

    // Shared with the reading thread: the list while it is there, under a lock.
    struct Owner;
    std::shared_ptr<Owner> owner_;
    State state_ = State::NotRead;
    std::vector<PrinterDriver> drivers_;
    QString error_;
};
