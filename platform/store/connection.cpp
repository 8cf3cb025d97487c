#include "platform/store/connection.h"

#include "platform/store/drivers.h"
#include "platform/store/schema.h"

#include <algorithm>

Connection::~Connection()
{
    Close();
    for (ConnectionUser* u : users_)
        u->ConnectionGone();
}

void Connection::Open(const OpenOptions& options)
{
    Close();
    options_ = options;
    std::unique_ptr<StoreDriver> driver = OpenDatabase(options);
    CheckDatabase(*driver);
    driver_ = std::move(driver);
}

void Connection::Close()
{
    for (ConnectionUser* u : users_)
        u->ConnectionClosing();
    driver_.reset();
}

bool Connection::MayWrite() const
{
    if (!driver_)
        return false;
    return options_.access == Access::ReadOnly ? driver_->MayBeWritten() : Writable();
}

void Connection::Attach(ConnectionUser* user)
{
    users_.push_back(user);
}

void Connection::Detach(ConnectionUser* user)
{
    users_.erase(std::remove(users_.begin(), users_.end(), user), users_.end());
}
