#include "RealtimeCounters.h"
#include "RawAllocation.h"

#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>
#include <semaphore.h>

#include <cstddef>
#include <cstdlib>

// glibc's allocator under its own names, so that the replacements below can reach it.
extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);
}

const bool RealtimeCounters::seesLocks = true;

void* RawAllocation::allocate (std::size_t size) noexcept { return __libc_malloc (size); }
void* RawAllocation::allocateAligned (std::size_t size, std::size_t alignment) noexcept { return __libc_memalign (alignment, size); }
void RawAllocation::release (void* p) noexcept { __libc_free (p); }
void RawAllocation::releaseAligned (void* p) noexcept { __libc_free (p); }

namespace
{
    using RawAllocation::noteAllocation;
    using RawAllocation::noteLock;

    template <typename Function>
    Function next (const char* name)
    {
        return reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
    }

    using MutexFunction = int (*) (pthread_mutex_t*);
    using TimedMutexFunction = int (*) (pthread_mutex_t*, const struct timespec*);
    using RwLockFunction = int (*) (pthread_rwlock_t*);
    using CondWaitFunction = int (*) (pthread_cond_t*, pthread_mutex_t*);
    using CondTimedFunction = int (*) (pthread_cond_t*, pthread_mutex_t*, const struct timespec*);
    using SemFunction = int (*) (sem_t*);
    using SemTimedFunction = int (*) (sem_t*, const struct timespec*);

    // Looked up once, before main, so that no lookup happens inside a Scope.
    struct NextFunctions
    {
        MutexFunction mutexLock = next<MutexFunction> ("pthread_mutex_lock");
        MutexFunction mutexTryLock = next<MutexFunction> ("pthread_mutex_trylock");
        TimedMutexFunction mutexTimed = next<TimedMutexFunction> ("pthread_mutex_timedlock");
        RwLockFunction readLock = next<RwLockFunction> ("pthread_rwlock_rdlock");
        RwLockFunction writeLock = next<RwLockFunction> ("pthread_rwlock_wrlock");
        CondWaitFunction condWait = next<CondWaitFunction> ("pthread_cond_wait");
        CondTimedFunction condTimedWait = next<CondTimedFunction> ("pthread_cond_timedwait");
        SemFunction semWait = next<SemFunction> ("sem_wait");
        SemTimedFunction semTimedWait = next<SemTimedFunction> ("sem_timedwait");
    };

    const NextFunctions& nextFunctions()
    {
        static const NextFunctions functions;
        return functions;
    }

    [[maybe_unused]] const auto& lookedUpBeforeMain = nextFunctions();
}

//==============================================================================
extern "C"
{
    // clang-format off
    void* malloc (size_t size)                      { noteAllocation(); return __libc_malloc (size); }
    void* calloc (size_t count, size_t size)        { noteAllocation(); return __libc_calloc (count, size); }
    void* realloc (void* p, size_t size)            { noteAllocation(); return __libc_realloc (p, size); }
    void* memalign (size_t alignment, size_t size)  { noteAllocation(); return __libc_memalign (alignment, size); }
    void* aligned_alloc (size_t alignment, size_t size) { noteAllocation(); return __libc_memalign (alignment, size); }
    void  free (void* p)                            { __libc_free (p); }
    // clang-format on

    int posix_memalign (void** result, size_t alignment, size_t size)
    {
        noteAllocation();
        *result = __libc_memalign (alignment, size);
        return *result != nullptr ? 0 : 12; // ENOMEM
    }

    // clang-format off
    int pthread_mutex_lock (pthread_mutex_t* m)     { noteLock(); return nextFunctions().mutexLock (m); }
    int pthread_mutex_trylock (pthread_mutex_t* m)  { noteLock(); return nextFunctions().mutexTryLock (m); }
    int pthread_mutex_timedlock (pthread_mutex_t* m, const struct timespec* t) { noteLock(); return nextFunctions().mutexTimed (m, t); }
    int pthread_rwlock_rdlock (pthread_rwlock_t* l) { noteLock(); return nextFunctions().readLock (l); }
    int pthread_rwlock_wrlock (pthread_rwlock_t* l) { noteLock(); return nextFunctions().writeLock (l); }
    int pthread_cond_wait (pthread_cond_t* c, pthread_mutex_t* m) { noteLock(); return nextFunctions().condWait (c, m); }
    int pthread_cond_timedwait (pthread_cond_t* c, pthread_mutex_t* m, const struct timespec* t) { noteLock(); return nextFunctions().condTimedWait (c, m, t); }
    int sem_wait (sem_t* s)                         { noteLock(); return nextFunctions().semWait (s); }
    int sem_timedwait (sem_t* s, const struct timespec* t) { noteLock(); return nextFunctions().semTimedWait (s, t); }
    // clang-format on
}
