#include "platform/store/rowlisteners.h"

int RowSetListeners::Subscribe(std::function<void(RowSetEvent)> listener)
{
    listeners_.emplace_back(nextId_, std::move(listener));
    return nextId_++;
}

void RowSetListeners::Unsubscribe(int id)
{
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void RowSetListeners::Notify(RowSetEvent event) const
{
    // A copy, since a listener may subscribe or unsubscribe while being told.
    const auto listeners = listeners_;
    for (const auto& l : listeners)
        l.second(event);
}
