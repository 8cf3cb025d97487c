#include "platform/store/value.h"

Value Value::Text(std::string text)
{
    Value v;
    v.v_ = std::move(text);
    return v;
}

Value Value::Integer(long long number)
{
    Value v;
    v.v_ = number;
    return v;
}
