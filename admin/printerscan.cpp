#include "admin/printerscan.h"

#include <QCoreApplication>

namespace
{

// Hands what the walk reports to the scan's thread, in order.
class Relay : public ScanSink
{
public:
    explicit Relay(PrinterScan& scan) : scan_(scan) {}

    void RecordSeen() override
    {
        QMetaObject::invokeMethod(
            &scan_, [scan = &scan_] { emit scan->recordSeen(); }, Qt::QueuedConnection);
    }
    void PrinterFound(const Share& share) override
    {
        QMetaObject::invokeMethod(
            &scan_, [scan = &scan_, share] { emit scan->printerFound(share); },
            Qt::QueuedConnection);
    }

private:
    PrinterScan& scan_;
};

} // namespace

PrinterScan::PrinterScan(QObject* parent) : QObject(parent) {}

PrinterScan::~PrinterScan()
{
    Stop();
}

void PrinterScan::Start(Walk walk)
{
    if (running_)
        return;
    running_ = true;
    worker_ = std::jthread([this, walk = std::move(walk)](std::stop_token stop) {
        Relay relay(*this);
        try {
            walk(stop, relay);
        } catch (...) {
            // The walk reports nothing (a level it cannot read is left out): whatever else
            // ends it early ends the scan with what was found.
        }
        QMetaObject::invokeMethod(
            this, [this] { Finish(); }, Qt::QueuedConnection);
    });
}

void PrinterScan::Stop()
{
    if (!running_)
        return;
    worker_.request_stop();
    worker_.join();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void PrinterScan::Finish()
{
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    emit finished();
}
