#include "admin/driverlist.h"

#include <mutex>
#include <thread>

struct DriverList::Reply {
    std::vector<PrinterDriver> drivers;
    std::string error;
};

struct DriverList::Owner {
    std::mutex lock;
    DriverList* list = nullptr; // null once the list is gone
};

DriverList::DriverList(QObject* parent) : QObject(parent), owner_(std::make_shared<Owner>())
{
    owner_->list = this;
}

DriverList::~DriverList()
{
    const std::lock_guard<std::mutex> gone(owner_->lock);
    owner_->list = nullptr;
}

void DriverList::Start()
{
    if (state_ != State::NotRead)
        return;
    state_ = State::Reading;
    std::thread([owner = owner_] {
        Reply reply;
        try {
            // Loading the printing module, too, is work kept off the windows' thread.
            reply.drivers = CreatePrintSystem(false)->Drivers();
        } catch (const std::exception& e) {
            reply.error = e.what();
        }
        // Posted under the lock: the list cannot go while the answer is on its way to it,
        // and an answer left waiting when it goes is dropped with it.
        const std::lock_guard<std::mutex> posting(owner->lock);
        if (owner->list)
            QMetaObject::invokeMethod(
                owner->list, [list = owner->list, reply] { list->Take(reply); },
                Qt::QueuedConnection);
    }).detach();
}

void DriverList::Take(const Reply& reply)
{
    drivers_ = reply.drivers;
    error_ = QString::fromStdString(reply.error);
    state_ = error_.isEmpty() ? State::Read : State::Failed;
    emit ready();
}
