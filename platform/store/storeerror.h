#pragma once

#include <stdexcept>

// Every failure of the store, with a message that names the file and what is wrong.
class StoreError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
