#pragma once

/** Counts heap allocations and lock or wait calls made by the current thread while a
    Scope is alive. The whole executable's operator new and delete are replaced to feed it,
    so it sees JUCE's calls as well as ours; where the C library is glibc, its malloc family
    and pthread locking are replaced too.
*/
namespace RealtimeCounters
{
    struct Counts
    {
        long allocations = 0;
        long locks = 0;
    };

    class Scope
    {
    public:
        Scope();
        ~Scope();

        Counts counts() const;
    };

    /** False where locks cannot be watched: the lock count then stays 0. */
    extern const bool seesLocks;
}
