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

static int Rank(const Value& v)
{
    return v.IsNull() ? 0 : v.IsInteger() ? 1 : 2;
}

SortCell MakeSortCell(const Value& v)
{
    SortCell cell{Rank(v), v.IsInteger() ? v.IntegerValue() : 0, {}};
    if (v.IsText()) {
        cell.folded = v.TextValue();
        for (char& c : cell.folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    }
    return cell;
}

int CompareSortCells(const SortCell& a, const SortCell& b)
{
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.rank == 1)
        return a.number < b.number ? -1 : a.number > b.number;
    int c = a.folded.compare(b.folded);
    return c < 0 ? -1 : c > 0;
}
