#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// The step of JUCE's own dispatch loop (Linux and Windows). The plug-in is built without
// modal loops, so MessageManager::runDispatchLoopUntil is not there to call.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

/** Runs the message loop on the calling (message) thread for about this long, so that
    timers and asynchronous updates fire as they do in the application. */
inline void pumpMessagesFor (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}

/** Runs the message loop until the condition holds or the time is up; says which. */
template <typename Condition>
bool pumpMessagesUntil (Condition&& condition, int timeoutMilliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return false;

        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }

    return true;
}
