#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Storage for entries. A POI file can hold millions of them, created and freed together; they
// are carved from 2 MB slabs, each backed by one huge page where the system offers them, which
// spares the general heap a million small blocks and the processor most of its page faults.
// Like the entries themselves, the pool belongs to the user-interface thread.
namespace EntryPool {

// An entry's number: its slab's number, then its block's within the slab. Lists of millions
// of entries keep these, in half the room of addresses.
using TIndex = std::uint32_t;
inline constexpr int BlockBits = 16;
inline constexpr std::size_t BlockSize = 32; // an entry's size
inline constexpr std::size_t SlabSize = BlockSize << BlockBits;
inline constexpr std::size_t MaxSlabs = std::size_t(1) << (32 - BlockBits);

// Each slab by its number; null where there is none. Its first block is its head.
inline char* SlabAt[MaxSlabs] = {};

void* Allocate(); // room for one entry
void Free(void* block) noexcept;

TIndex IndexOf(const void* block);
inline void* At(TIndex index)
{
    constexpr TIndex BlockMask = (TIndex(1) << BlockBits) - 1;
    return SlabAt[index >> BlockBits] + (index & BlockMask) * BlockSize;
}

} // namespace EntryPool

// Storage for the entries' texts, for the same reasons: blocks of any size are cut one after
// the other from large chunks, and a chunk goes back to the system when its last block is
// freed. A block freed early leaves its room unused until then.
namespace TextArena {

void* Allocate(std::size_t size);
void Free(void* block) noexcept;

// Input bytes that outlive every entry made while this lives: texts lying in them are kept
// where they lie instead of being copied into the arena. A converter that keeps its inputs
// mapped to the end so spares the memory for the texts, and with it much of the time a large
// conversion spends having fresh pages cleared. One at a time, on the entries' thread.
class TBorrowing {
public:
    explicit TBorrowing(std::string_view bytes);
    ~TBorrowing();
    TBorrowing(const TBorrowing&) = delete;
    TBorrowing& operator=(const TBorrowing&) = delete;
};

inline std::uintptr_t BorrowedBegin = 0, BorrowedEnd = 0;

// Whether a text of at least one byte lies in the bytes borrowed from now.
inline bool Borrowable(std::string_view text)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(text.data());
    return begin >= BorrowedBegin && begin + text.size() <= BorrowedEnd;
}

} // namespace TextArena
