#include "core/uEntryPool.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

#include "core/uModel.h"

namespace {

constexpr std::size_t SlabSize = 2 * 1024 * 1024;

struct TFreeBlock {
    TFreeBlock* Next;
};

// The head of each slab; blocks follow it. A slab is freed when its last block is.
struct TSlab {
    TSlab* Previous = nullptr;
    TSlab* Next = nullptr;
    TFreeBlock* FreeBlocks = nullptr; // blocks returned to this slab
    std::size_t Unused; // offset of the first block never handed out
    std::size_t Live = 0;
};

constexpr std::size_t BlockAlign = alignof(TEntry);
constexpr std::size_t FirstBlock = (sizeof(TSlab) + BlockAlign - 1) / BlockAlign * BlockAlign;

constexpr std::size_t BlockSize = (sizeof(TEntry) + BlockAlign - 1) / BlockAlign * BlockAlign;

class TPool {
public:
    void* Allocate()
    {
        TSlab* slab = SlabWithRoom();
        ++slab->Live;
        if (TFreeBlock* block = slab->FreeBlocks) {
            slab->FreeBlocks = block->Next;
            return block;
        }
        void* block = reinterpret_cast<char*>(slab) + slab->Unused;
        slab->Unused += BlockSize;
        return block;
    }

    void Free(void* block) noexcept
    {
        auto* slab =
            reinterpret_cast<TSlab*>(reinterpret_cast<std::uintptr_t>(block) & ~(SlabSize - 1));
        auto* freed = static_cast<TFreeBlock*>(block);
        freed->Next = slab->FreeBlocks;
        slab->FreeBlocks = freed;
        if (--slab->Live == 0 && slab != Current)
            Release(slab);
    }

private:
    bool HasRoom(const TSlab* slab) const
    {
        return slab->FreeBlocks || slab->Unused + BlockSize <= SlabSize;
    }

    // The slab to allocate from: the current one, else one with freed blocks, else a new one.
    TSlab* SlabWithRoom()
    {
        if (Current && HasRoom(Current))
            return Current;
        for (TSlab* slab = Slabs; slab; slab = slab->Next)
            if (HasRoom(slab))
                return Current = slab;
        return Current = NewSlab();
    }

    TSlab* NewSlab()
    {
        void* memory = std::aligned_alloc(SlabSize, SlabSize);
        if (!memory)
            throw std::bad_alloc();
        madvise(memory, SlabSize, MADV_HUGEPAGE);
        auto* slab = new (memory) TSlab;
        slab->Unused = FirstBlock;
        slab->Next = Slabs;
        if (Slabs)
            Slabs->Previous = slab;
        Slabs = slab;
        return slab;
    }

    void Release(TSlab* slab)
    {
        (slab->Previous ? slab->Previous->Next : Slabs) = slab->Next;
        if (slab->Next)
            slab->Next->Previous = slab->Previous;
        std::free(slab);
    }

    TSlab* Slabs = nullptr;
    TSlab* Current = nullptr;
};

TPool& Pool()
{
    static TPool pool;
    return pool;
}

// The head of each text chunk; blocks follow it unaligned, as texts are bytes.
struct TChunk {
    std::size_t Used; // offset of the first byte never handed out
    std::size_t Live = 0;
};

constexpr std::size_t ChunkSize = SlabSize;

class TArena {
public:
    void* Allocate(std::size_t size)
    {
        if (sizeof(TChunk) + size > ChunkSize)
            return Claim(NewChunk(sizeof(TChunk) + size), size);
        if (!Current || Current->Used + size > ChunkSize) {
            if (Current && Current->Live == 0)
                std::free(Current);
            Current = NewChunk(ChunkSize);
        }
        return Claim(Current, size);
    }

    void Free(void* block) noexcept
    {
        auto* chunk =
            reinterpret_cast<TChunk*>(reinterpret_cast<std::uintptr_t>(block) & ~(ChunkSize - 1));
        if (--chunk->Live > 0)
            return;
        if (chunk == Current)
            chunk->Used = sizeof(TChunk);
        else
            std::free(chunk);
    }

private:
    static void* Claim(TChunk* chunk, std::size_t size)
    {
        ++chunk->Live;
        void* block = reinterpret_cast<char*>(chunk) + chunk->Used;
        chunk->Used += size;
        return block;
    }

    // Aligned to the chunk size, so that a block finds its chunk's head from its address.
    static TChunk* NewChunk(std::size_t size)
    {
        void* memory =
            std::aligned_alloc(ChunkSize, (size + ChunkSize - 1) / ChunkSize * ChunkSize);
        if (!memory)
            throw std::bad_alloc();
        madvise(memory, size, MADV_HUGEPAGE);
        auto* chunk = new (memory) TChunk;
        chunk->Used = sizeof(TChunk);
        return chunk;
    }

    TChunk* Current = nullptr;
};

TArena& Arena()
{
    static TArena arena;
    return arena;
}

} // namespace

void* EntryPool::Allocate() { return Pool().Allocate(); }
void EntryPool::Free(void* block) noexcept { Pool().Free(block); }

void* TextArena::Allocate(std::size_t size) { return Arena().Allocate(size); }
void TextArena::Free(void* block) noexcept { Arena().Free(block); }
