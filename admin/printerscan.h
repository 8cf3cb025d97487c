#pragma once

#include "platform/netenum/sharebrowser.h"

#include <QObject>
#include <functional>
#include <stop_token>
#include <thread>

// What a walk of the network reports, on the walk's thread, in the order it meets the records.
class ScanSink
{
public:
    virtual ~ScanSink() = default;
    // Any record of any level the walk reads: a workgroup, a server, a printer share.
    virtual void RecordSeen() = 0;
    // A printer share, after its RecordSeen.
    virtual void PrinterFound(const Share& share) = 0;
};

// A walk of the network on a thread of its own, so that the window answers while servers are
// waited for. What the walk reports arrives on this object's thread as signals, in order;
// nothing of the walk touches a widget. The walk is given a stop token: a level it waits for
// ends at once when a stop is requested.
class PrinterScan : public QObject
{
    Q_OBJECT
public:
    using Walk = std::function<void(std::stop_token stop, ScanSink& sink)>;

    explicit PrinterScan(QObject* parent = nullptr);
    // Stops a walk that still runs.
    ~PrinterScan() override;

    // Starts the walk; Running() until finished is delivered. One walk at a time.
    void Start(Walk walk);
    // Stops the walk and waits for its thread; what it reported, then finished, are delivered
    // before this returns. Nothing when no walk runs.
    void Stop();
    bool Running() const { return running_; }

signals:
    void recordSeen();
    void printerFound(const Share& share);
    void finished();

private:
    void Finish();

    bool running_ = false;
    std::jthread worker_;
};
