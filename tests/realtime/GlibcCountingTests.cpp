#include "RealtimeCounters.h"

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

// Where glibc's allocator and pthread locking are replaced, the counters see malloc and locks.
TEST (RealtimeCounters, SeeAllocationsAndLocksMadeOnPurpose)
{
    juce::CriticalSection criticalSection;
    std::mutex mutex;
    RealtimeCounters::Counts afterNew, afterMalloc, afterCriticalSection, afterMutex;

    {
        // Nothing inside the scope but the calls under test: gtest's own macros allocate.
        RealtimeCounters::Scope scope;

        auto* volatile allocated = new int (1);
        delete allocated;
        afterNew = scope.counts();

        void* volatile block = std::malloc (16);
        std::free (block);
        afterMalloc = scope.counts();

        {
            const juce::ScopedLock lock (criticalSection);
        }
        afterCriticalSection = scope.counts();

        {
            const std::lock_guard<std::mutex> lock (mutex);
        }
        afterMutex = scope.counts();
    }

    EXPECT_EQ (afterNew.allocations, 1);
    EXPECT_EQ (afterMalloc.allocations, 2);
    EXPECT_EQ (afterMalloc.locks, 0);
    EXPECT_EQ (afterCriticalSection.locks, 1);
    EXPECT_EQ (afterMutex.locks, 2);
    EXPECT_EQ (afterMutex.allocations, 2);
}
