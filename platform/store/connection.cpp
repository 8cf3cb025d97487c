#include "platform/store/connection.h"

#include "platform/host/textutil.h"
#include "platform/store/connectionstring.h"
#include "platform/store/drivers.h"
#include "platform/store/schema.h"

#include <algorithm>

Connection::~Connection()
{
    Close();
    for (ConnectionUser* u : users_)
        u->ConnectionGone();
}

void Connection::Open()
{
    Close();
    ConnectionSettings s = ParseConnectionString(connectionString_);
    std::unique_ptr<StoreDriver> driver =
        OpenDatabase(s.dataSource, EqualsIgnoreCase(s.mode, "Read"));
    CheckDatabase(*driver, s.password);
    driver_ = std::move(driver);
}

void Connection::Close()
{
    for (ConnectionUser* u : users_)
        u->ConnectionClosing();
    driver_.reset();
}

void Connection::Attach(ConnectionUser* user)
{
    users_.push_back(user);
}

void Connection::Detach(ConnectionUser* user)
{
    users_.erase(std::remove(users_.begin(), users_.end(), user), users_.end());
}
