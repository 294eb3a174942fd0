// Touches MIB mebibytes of fresh memory and gives it back: warm-memory MIB
//
// A virtual machine that reports freed memory to its host has the host back every page again
// at its first touch, at about the cost of the conversion itself. Run just before a timed
// command, this leaves it memory the host backs already, as all memory is on a machine of
// its own; bench/growth and bench/vs-peer run it so when WARM_MIB is set.

#include <cstdlib>
#include <iostream>

#include <sys/mman.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const long mebibytes = argc == 2 ? std::atol(argv[1]) : 0;
    if (mebibytes <= 0) {
        std::cerr << "usage: warm-memory MIB\n";
        return 2;
    }
    const size_t size = static_cast<size_t>(mebibytes) << 20;
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        std::cerr << "warm-memory: cannot map " << mebibytes << " MiB\n";
        return 1;
    }
    // Huge pages as the entry pool takes them, so that both draw on the same free blocks.
    madvise(memory, size, MADV_HUGEPAGE);
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    auto* bytes = static_cast<volatile char*>(memory);
    for (size_t offset = 0; offset < size; offset += page)
        bytes[offset] = 1;
    return 0;
}
