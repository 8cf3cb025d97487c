#pragma once

#include <functional>
#include <utility>
#include <vector>

// What bound controls are told.
enum class RowSetEvent {
    DataChanged,  // rows, their number or their order may have changed
    Scrolled,     // another row is current
    FieldChanged, // a value of the current row changed
    StateChanged, // browse / edit / insert / inactive
};

// Who is told of a row set's changes, each known by the number Subscribe gave.
class RowSetListeners
{
public:
    int Subscribe(std::function<void(RowSetEvent)> listener);
    void Unsubscribe(int id);
    void Notify(RowSetEvent event) const;

private:
    int nextId_ = 1;
    std::vector<std::pair<int, std::function<void(RowSetEvent)>>> listeners_;
};
