#pragma once

#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/uModel.h"

// Puts the entries in `order`, without copying one: row i afterwards holds what row order[i]
// held before.
void Reorder(TEntries& entries, const std::vector<int>& order);
// The order that puts back what `order` changed.
std::vector<int> InverseOrder(const std::vector<int>& order);

// Runs `work(0)` here and `work(1)` on a second thread at the same time, and rethrows what
// either threw. Sorting a million rows mostly waits for memory, and a second processor waits
// alongside; without a thread to be had, the parts run one after the other.
template <typename TWork> void InTwoParts(const TWork& work)
{
    std::exception_ptr failure;
    {
        std::jthread second;
        try {
            second = std::jthread([&] {
                try {
                    work(1);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            work(1);
        }
        work(0);
    }
    if (failure)
        std::rethrow_exception(failure);
}

// The rows from the first to before the last of half `part` (0 or 1) of `count` rows.
inline std::pair<int, int> HalfOfRows(int count, int part)
{
    const int half = count / 2;
    return part == 0 ? std::pair(0, half) : std::pair(half, count);
}
