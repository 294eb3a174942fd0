#pragma once

#include <cstddef>

// Storage for entries. A POI file can hold millions of them, created and freed together; they
// are carved from 2 MB slabs, each backed by one huge page where the system offers them, which
// spares the general heap a million small blocks and the processor most of its page faults.
// Like the entries themselves, the pool belongs to the user-interface thread.
namespace EntryPool {

void* Allocate(); // room for one entry
void Free(void* block) noexcept;

} // namespace EntryPool

// Storage for the entries' texts, for the same reasons: blocks of any size are cut one after
// the other from large chunks, and a chunk goes back to the system when its last block is
// freed. A block freed early leaves its room unused until then.
namespace TextArena {

void* Allocate(std::size_t size);
void Free(void* block) noexcept;

} // namespace TextArena
