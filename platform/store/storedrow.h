#pragma once

#include "platform/store/value.h"

#include <vector>

// One row of a row set's snapshot.
struct StoredRow {
    long long key = 0;    // the table's row key; 0 for a query's row and a row not yet stored
    long long serial = 0; // read order, for restoring it
    std::vector<Value> values;
};
