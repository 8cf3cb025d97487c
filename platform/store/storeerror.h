#pragma once

#include <stdexcept>

// What kind of refusal a write met, for callers that treat one kind differently.
enum class StoreFault { Other, Duplicate, ReadOnly, Locked };

// Every failure of the store, with a message a person can act on: it names what they see
// (the printer list, the rule list) and, where it matters, the file.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const std::string& message, StoreFault fault = StoreFault::Other)
        : std::runtime_error(message), fault_(fault)
    {
    }
    StoreFault Fault() const { return fault_; }

private:
    StoreFault fault_;
};
