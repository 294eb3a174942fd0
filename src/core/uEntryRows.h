#pragma once

#include <memory>
#include <vector>

#include "core/uModel.h"

// Entries taken out of a list, owned until they go back or are freed.
using TOwnedEntries = std::vector<std::unique_ptr<TEntry>>;

// Moving rows about without copying an entry. Each runs in one pass over the list however
// many rows it moves: taking a million rows out one at a time would shift the rest each time.

// Takes the entries at `rows` (ascending, distinct) out of `entries`; the others keep their
// order.
TOwnedEntries TakeRows(TEntries& entries, const std::vector<int>& rows);
// Puts `taken` back so that they stand at `rows` (ascending) afterwards: undoes `TakeRows`.
void PutRows(TEntries& entries, const std::vector<int>& rows, TOwnedEntries taken);
// Puts the entries in `order`: row i afterwards holds what row order[i] held before.
void Reorder(TEntries& entries, const std::vector<int>& order);
// The order that puts back what `order` changed.
std::vector<int> InverseOrder(const std::vector<int>& order);
