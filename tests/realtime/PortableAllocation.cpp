#include "RealtimeCounters.h"
#include "RawAllocation.h"

#include <cstdint>
#include <cstdlib>

// Where the C library's allocator and locks cannot be replaced, only operator new and delete
// are watched. They allocate through std::malloc, which is not replaced here.
const bool RealtimeCounters::seesLocks = false;

void* RawAllocation::allocate (std::size_t size) noexcept { return std::malloc (size); }
void RawAllocation::release (void* p) noexcept { std::free (p); }

// An aligned block sits inside a larger one, the larger one's address stored just before it.
void* RawAllocation::allocateAligned (std::size_t size, std::size_t alignment) noexcept
{
    auto* block = static_cast<char*> (std::malloc (size + alignment + sizeof (void*)));

    if (block == nullptr)
        return nullptr;

    const auto first = reinterpret_cast<std::uintptr_t> (block + sizeof (void*));
    auto* aligned = reinterpret_cast<void**> ((first + alignment - 1) & ~(std::uintptr_t) (alignment - 1));
    aligned[-1] = block;
    return aligned;
}

void RawAllocation::releaseAligned (void* p) noexcept
{
    if (p != nullptr)
        std::free (static_cast<void**> (p)[-1]);
}
