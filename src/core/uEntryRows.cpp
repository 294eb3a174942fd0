#include "core/uEntryRows.h"

namespace {

// Entries moved in an order unrelated to where they lie are asked for this many rows early, so
// that the memory is not waited for row by row.
constexpr size_t FetchAhead = 32;

} // namespace

void Reorder(TEntries& entries, const std::vector<int>& order)
{
    TOwnedEntries unordered = entries.ExtractAll();
    entries.Reserve(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        if (i + FetchAhead < order.size())
            __builtin_prefetch(&unordered[static_cast<size_t>(order[i + FetchAhead])]);
        entries.AddEntry(std::move(unordered[static_cast<size_t>(order[i])]), false);
    }
}

std::vector<int> InverseOrder(const std::vector<int>& order)
{
    std::vector<int> inverse(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        inverse[static_cast<size_t>(order[i])] = static_cast<int>(i);
    return inverse;
}
