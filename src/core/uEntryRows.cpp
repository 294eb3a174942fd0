#include "core/uEntryRows.h"

namespace {

// Entries moved in an order unrelated to where they lie are asked for this many rows early, so
// that the memory is not waited for row by row.
constexpr size_t FetchAhead = 32;

} // namespace

TOwnedEntries TakeRows(TEntries& entries, const std::vector<int>& rows)
{
    TOwnedEntries all = entries.ExtractAll();
    TOwnedEntries taken;
    taken.reserve(rows.size());
    entries.Reserve(all.size() - rows.size());
    auto next = rows.begin();
    for (size_t row = 0; row < all.size(); ++row) {
        if (next != rows.end() && static_cast<size_t>(*next) == row) {
            taken.push_back(std::move(all[row]));
            ++next;
        } else {
            entries.AddEntry(std::move(all[row]), false);
        }
    }
    return taken;
}

void PutRows(TEntries& entries, const std::vector<int>& rows, TOwnedEntries taken)
{
    TOwnedEntries kept = entries.ExtractAll();
    const size_t count = kept.size() + taken.size();
    entries.Reserve(count);
    auto next = rows.begin();
    auto nextKept = kept.begin();
    auto nextTaken = taken.begin();
    for (size_t row = 0; row < count; ++row) {
        const bool putBack = next != rows.end() && static_cast<size_t>(*next) == row;
        entries.AddEntry(std::move(putBack ? *nextTaken++ : *nextKept++), false);
        if (putBack)
            ++next;
    }
}

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
