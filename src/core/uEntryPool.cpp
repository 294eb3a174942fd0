#include "core/uEntryPool.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include <sys/mman.h>

#include "core/uModel.h"

namespace {

using EntryPool::BlockSize;
using EntryPool::SlabAt;
using EntryPool::SlabSize;

static_assert(sizeof(TEntry) <= BlockSize && BlockSize % alignof(TEntry) == 0);

constexpr std::size_t ChunkSize = 2 * 1024 * 1024;
static_assert(SlabSize == ChunkSize);

// `size` bytes rounded up to whole 2 MB chunks, aligned to one, with huge pages asked for.
void* AllocateAligned(std::size_t size)
{
    const std::size_t rounded = (size + ChunkSize - 1) / ChunkSize * ChunkSize;
    void* memory = std::aligned_alloc(ChunkSize, rounded);
    if (!memory)
        throw std::bad_alloc();
    madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}

// The first touch of fresh memory is slow where the system has handed it back to a virtual
// machine's host, slower than filling it with entries. A helper thread touches the next 2 MB
// block while the last one is filled, so that wait falls on a core that would be idle. It is
// asked for once the block in use is half full, not as soon as that block is taken: a block
// prepared for nothing stays touched to the end, and this way most conversions end with none.
class TPreparedBlocks {
public:
    ~TPreparedBlocks()
    {
        {
            const std::lock_guard lock(Mutex);
            Stopping = true;
        }
        Changed.notify_one();
        if (Helper.joinable())
            Helper.join();
        for (int i = 0; i < ReadyCount; ++i)
            std::free(Ready[i]);
    }

    // A block of ChunkSize bytes, aligned to its size; the caller frees it with std::free.
    void* Take()
    {
        {
            const std::lock_guard lock(Mutex);
            ++Taken;
            if (ReadyCount > 0)
                return Ready[--ReadyCount];
        }
        return AllocateAligned(ChunkSize);
    }

    // The block in use is half full: the next is prepared. The entries and the texts each
    // fill a block of their own, so up to two may be wanted at once.
    void Want()
    {
        {
            const std::lock_guard lock(Mutex);
            // Not before the second block: most files fill less than one, and a small
            // conversion would wait for the helper's block at its end.
            if (Taken < 2 || NoHelper || Wanted + ReadyCount >= MaxReady)
                return;
            ++Wanted;
        }
        StartHelper();
        Changed.notify_one();
    }

private:
    static constexpr int MaxReady = 2;

    void StartHelper()
    {
        if (Helper.joinable())
            return;
        try {
            Helper = std::thread([this] { Prepare(); });
        } catch (const std::system_error&) {
            const std::lock_guard lock(Mutex);
            NoHelper = true; // every block is then made when it is taken
            Wanted = 0;
        }
    }

    void Prepare()
    {
        std::unique_lock lock(Mutex);
        for (;;) {
            Changed.wait(lock, [this] { return Stopping || Wanted > 0; });
            if (Stopping)
                return;
            lock.unlock();
            void* block = nullptr;
            try {
                block = AllocateAligned(ChunkSize);
                Touch(static_cast<char*>(block));
            } catch (const std::bad_alloc&) {
                // Take makes its own and reports the shortage where it can be handled.
            }
            lock.lock();
            --Wanted; // counted until it is ready, so that Ready never overflows
            if (block)
                Ready[ReadyCount++] = block;
        }
    }

    // A write per page: reading would map the shared zero page and leave the work for later.
    static void Touch(char* block)
    {
        for (std::size_t offset = 0; offset < ChunkSize; offset += 4096)
            static_cast<volatile char*>(block)[offset] = 0;
    }

    std::mutex Mutex;
    std::condition_variable Changed;
    void* Ready[MaxReady] = {};
    int ReadyCount = 0;
    int Wanted = 0;
    bool Stopping = false;
    bool NoHelper = false;
    int Taken = 0;
    std::thread Helper;
};

TPreparedBlocks& PreparedBlocks()
{
    static TPreparedBlocks blocks;
    return blocks;
}

struct TFreeBlock {
    TFreeBlock* Next;
};

// The head of each slab, in its first block; blocks follow it. A slab is freed when its last
// block is.
struct TSlab {
    TFreeBlock* FreeBlocks = nullptr; // blocks returned to this slab
    std::uint32_t Unused = BlockSize; // offset of the first block never handed out
    std::uint32_t Live = 0;
    std::uint32_t Number;
};

static_assert(sizeof(TSlab) <= BlockSize);

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
        if (slab->Unused == SlabSize / 2)
            PreparedBlocks().Want();
        return block;
    }

    void Free(void* block) noexcept
    {
        TSlab* slab = SlabOf(block);
        auto* freed = static_cast<TFreeBlock*>(block);
        freed->Next = slab->FreeBlocks;
        slab->FreeBlocks = freed;
        if (--slab->Live == 0 && slab != Current)
            Release(slab);
    }

    static TSlab* SlabOf(const void* block)
    {
        return reinterpret_cast<TSlab*>(reinterpret_cast<std::uintptr_t>(block) & ~(SlabSize - 1));
    }

private:
    static bool HasRoom(const TSlab* slab)
    {
        return slab->FreeBlocks || slab->Unused + BlockSize <= SlabSize;
    }

    // The slab to allocate from: the current one, else one with freed blocks, else a new one.
    TSlab* SlabWithRoom()
    {
        if (Current && HasRoom(Current))
            return Current;
        for (std::size_t number = 0; number < Numbered; ++number) {
            auto* slab = reinterpret_cast<TSlab*>(SlabAt[number]);
            if (slab && HasRoom(slab))
                return Current = slab;
        }
        return Current = NewSlab();
    }

    // Numbered with the lowest number free, so that numbers stay few.
    TSlab* NewSlab()
    {
        std::size_t number = 0;
        while (number < Numbered && SlabAt[number])
            ++number;
        if (number == EntryPool::MaxSlabs)
            throw std::bad_alloc();
        void* memory = PreparedBlocks().Take();
        auto* slab = new (memory) TSlab;
        slab->Number = static_cast<std::uint32_t>(number);
        SlabAt[number] = static_cast<char*>(memory);
        Numbered = std::max(Numbered, number + 1);
        return slab;
    }

    static void Release(TSlab* slab)
    {
        SlabAt[slab->Number] = nullptr;
        std::free(slab);
    }

    TSlab* Current = nullptr;
    std::size_t Numbered = 0; // slab numbers from here on were never taken
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
        const bool pastHalf = Current->Used >= ChunkSize / 2;
        void* block = Claim(Current, size);
        if (!pastHalf && Current->Used >= ChunkSize / 2)
            PreparedBlocks().Want();
        return block;
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
        void* memory = size == ChunkSize ? PreparedBlocks().Take() : AllocateAligned(size);
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

EntryPool::TIndex EntryPool::IndexOf(const void* block)
{
    const TSlab* slab = TPool::SlabOf(block);
    const auto offset = static_cast<std::size_t>(
        static_cast<const char*>(block) - reinterpret_cast<const char*>(slab));
    return slab->Number << BlockBits | static_cast<TIndex>(offset / BlockSize);
}

void* TextArena::Allocate(std::size_t size) { return Arena().Allocate(size); }
void TextArena::Free(void* block) noexcept { Arena().Free(block); }

TextArena::TBorrowing::TBorrowing(std::string_view bytes)
{
    if (BorrowedEnd != 0)
        throw std::logic_error("Texts are borrowed from one input at a time");
    BorrowedBegin = reinterpret_cast<std::uintptr_t>(bytes.data());
    BorrowedEnd = BorrowedBegin + bytes.size();
}

TextArena::TBorrowing::~TBorrowing() { BorrowedBegin = BorrowedEnd = 0; }
