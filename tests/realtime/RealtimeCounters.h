#pragma once

/** Counts heap allocations and lock or wait calls made by the current thread while a
    Scope is alive. The whole executable's operator new, malloc family and pthread locking
    functions are replaced to feed it, so it sees JUCE's calls as well as ours.
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
}
