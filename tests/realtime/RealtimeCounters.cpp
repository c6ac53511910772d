#include "RealtimeCounters.h"
#include "RawAllocation.h"

#include <cstddef>
#include <new>

// Without sized deallocation (clang's default) <new> leaves these out, but code built with
// it, libstdc++ among them, still calls them.
#if ! __cpp_sized_deallocation
void operator delete (void*, std::size_t) noexcept;
void operator delete[] (void*, std::size_t) noexcept;
void operator delete (void*, std::size_t, std::align_val_t) noexcept;
void operator delete[] (void*, std::size_t, std::align_val_t) noexcept;
#endif

namespace
{
    // Plain thread-locals of trivial type: reading them allocates nothing.
    thread_local bool counting = false;
    thread_local long allocationCount = 0;
    thread_local long lockCount = 0;
}

void RawAllocation::noteAllocation() noexcept
{
    if (counting) ++allocationCount;
}
void RawAllocation::noteLock() noexcept
{
    if (counting) ++lockCount;
}

namespace RealtimeCounters
{
    Scope::Scope()
    {
        allocationCount = 0;
        lockCount = 0;
        counting = true;
    }

    Scope::~Scope()
    {
        counting = false;
    }

    Counts Scope::counts() const
    {
        return { allocationCount, lockCount };
    }
}

//==============================================================================
void* operator new (std::size_t size)
{
    RawAllocation::noteAllocation();

    if (auto* p = RawAllocation::allocate (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

// clang-format off
void* operator new[] (std::size_t size)                                 { return operator new (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept   { RawAllocation::noteAllocation(); return RawAllocation::allocate (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { RawAllocation::noteAllocation(); return RawAllocation::allocate (size == 0 ? 1 : size); }
// clang-format on

void* operator new (std::size_t size, std::align_val_t alignment)
{
    RawAllocation::noteAllocation();

    if (auto* p = RawAllocation::allocateAligned (size == 0 ? 1 : size, (std::size_t) alignment))
        return p;

    throw std::bad_alloc();
}

void* operator new[] (std::size_t size, std::align_val_t alignment) { return operator new (size, alignment); }

// clang-format off
void operator delete (void* p) noexcept                                 { RawAllocation::release (p); }
void operator delete[] (void* p) noexcept                               { RawAllocation::release (p); }
void operator delete (void* p, std::size_t) noexcept                    { RawAllocation::release (p); }
void operator delete[] (void* p, std::size_t) noexcept                  { RawAllocation::release (p); }
void operator delete (void* p, std::align_val_t) noexcept               { RawAllocation::releaseAligned (p); }
void operator delete[] (void* p, std::align_val_t) noexcept             { RawAllocation::releaseAligned (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept  { RawAllocation::releaseAligned (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { RawAllocation::releaseAligned (p); }
// clang-format on
