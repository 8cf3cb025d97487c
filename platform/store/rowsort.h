#pragma once

#include "platform/store/storedrow.h"

#include <functional>
#include <string>
#include <vector>

// The order of a row set in memory, as "FIELD ASC|DESC, ..." gives it.
struct SortKey {
    int column;
    bool descending;
};

// The keys of a sort text: fields separated by ',', each with an optional ASC or DESC (any
// case). column finds a field by name (-1 when absent); subject names the list at the start
// of a message. "" gives no keys. Throws StoreError for an unknown field or direction.
std::vector<SortKey> ParseSort(const std::string& sort, const std::string& subject,
                               const std::function<int(const std::string&)>& column);

// Orders rows by the keys as the database sorts: empty first, numbers before texts, letters
// without regard to case (a-z only, as SQLite's NOCASE). Rows equal in every key keep their
// read order.
void SortRows(std::vector<StoredRow>& rows, const std::vector<SortKey>& keys);
