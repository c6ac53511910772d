#pragma once

#include <cstddef>

/** What the counters' replacements share: noting a call, and the platform's own allocator,
    reached without passing through the replacements again. */
namespace RawAllocation
{
    void noteAllocation() noexcept;
    void noteLock() noexcept;

    void* allocate (std::size_t size) noexcept;
    void* allocateAligned (std::size_t size, std::size_t alignment) noexcept;
    void release (void* p) noexcept;
    void releaseAligned (void* p) noexcept;
}
