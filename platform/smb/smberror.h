#pragma once

#include <stdexcept>

// A network path that is not one, or a server that cannot be asked, with a message a person
// can act on.
class SmbError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
