#pragma once

#include <cstddef>
#include <cstdint>

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

} // namespace TextArena
