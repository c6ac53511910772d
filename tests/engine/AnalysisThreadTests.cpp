#include "compat/JuceCompatibility.h"
#include "support/ProcessorTestAccess.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <ostream>
#include <string>
#include <thread>

namespace
{
    using Clock = std::chrono::steady_clock;
    using std::chrono::milliseconds;

    constexpr int freeState = AnalysisBlock::stateFree;
    constexpr int readyState = AnalysisBlock::stateReady;
    constexpr int busyState = AnalysisBlock::stateBeingAnalysed;

    /** Far below the 2000 ms after which stopping gives up, even under a sanitizer. */
    constexpr auto promptStop = milliseconds (1000);

    // Whatever the detector publishes replaces this.
    constexpr float untouchedFrequency = 1234.5f;

    milliseconds timeToRelease (DravelTunerAudioProcessor& processor)
    {
        const auto start = Clock::now();
        processor.releaseResources();
        return std::chrono::duration_cast<milliseconds> (Clock::now() - start);
    }

    //==============================================================================
    struct ScanCase
    {
        int state0, state1;
        float published; // the tone of the block analysed last, or untouchedFrequency
        int after0, after1;

        friend std::ostream& operator<< (std::ostream& o, const ScanCase& c)
        {
            return o << "blocks at " << c.state0 << " and " << c.state1;
        }
    };

    class ScanByBlockState : public testing::TestWithParam<ScanCase>
    {};

    //==============================================================================
    /** Stands in for the analysis thread's pause: notes what the first few pauses ask for,
        then pauses as asked, so that the thread runs and stops as it always does. */
    struct PauseLog
    {
        static constexpr int size = 4;

        static inline std::atomic<int> count { 0 };
        static inline std::array<std::atomic<double>, size> askedMilliseconds {};
        static inline std::array<std::atomic<const juce::Thread*>, size> threads {};

        static bool pause (const juce::Thread& thread, double timeOutMilliseconds)
        {
            const auto index = count.load();

            if (index < size)
            {
                askedMilliseconds[(size_t) index] = timeOutMilliseconds;
                threads[(size_t) index] = &thread;
            }

            count = index + 1;
            return compat::waitOnThreadEvent (thread, timeOutMilliseconds);
        }
    };
}

//==============================================================================
TEST_P (ScanByBlockState, ClaimsOnlyReadyBlocksAndLeavesTheOthersAlone)
{
    const auto& c = GetParam();
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    // Each block holds a tone of its own, so the published result tells which was analysed.
    TestSignals::fillSine (access.block (0), 440.0);
    TestSignals::fillSine (access.block (1), 100.0);
    access.setBlockState (0, c.state0);
    access.setBlockState (1, c.state1);
    access.publish (untouchedFrequency, 0.5f);

    access.analysePendingBlocks();

    EXPECT_NEAR (access.detectedFrequency(), c.published, 0.01f);
    EXPECT_EQ (access.blockState (0), c.after0);
    EXPECT_EQ (access.blockState (1), c.after1);
}

// A free or busy block 0 must not stop the scan from claiming a ready block 1, nor be claimed.
INSTANTIATE_TEST_SUITE_P (Engine, ScanByBlockState, testing::Values (
    ScanCase { freeState,  readyState, 100.0f,             freeState, freeState },
    ScanCase { busyState,  readyState, 100.0f,             busyState, freeState },
    ScanCase { readyState, freeState,  440.02f,            freeState, freeState },
    ScanCase { readyState, busyState,  440.02f,            freeState, busyState },
    ScanCase { readyState, readyState, 100.0f,             freeState, freeState },
    ScanCase { freeState,  freeState,  untouchedFrequency, freeState, freeState },
    ScanCase { busyState,  busyState,  untouchedFrequency, busyState, busyState },
    ScanCase { freeState,  busyState,  untouchedFrequency, freeState, busyState },
    ScanCase { busyState,  freeState,  untouchedFrequency, busyState, freeState }));

TEST (AnalysisScan, AnalysesBlockZeroFirstWhenBothAreReady)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    const auto scanBothReady = [&access] (double toneInBlock0, double toneInBlock1) {
        TestSignals::fillSine (access.block (0), toneInBlock0);
        TestSignals::fillSine (access.block (1), toneInBlock1);
        access.setBlockState (0, AnalysisBlock::stateReady);
        access.setBlockState (1, AnalysisBlock::stateReady);
        access.analysePendingBlocks();
    };

    scanBothReady (440.0, 100.0);

    // Block 1's result is the one left standing, and both blocks are free again.
    EXPECT_NEAR (access.detectedFrequency(), 100.0f, 0.001f);
    EXPECT_EQ (access.blockState (0), AnalysisBlock::stateFree);
    EXPECT_EQ (access.blockState (1), AnalysisBlock::stateFree);

    // And the other way round, so that the order cannot come from the tones themselves.
    scanBothReady (100.0, 440.0);
    EXPECT_NEAR (access.detectedFrequency(), 440.02f, 0.005f);
}

//==============================================================================
TEST (AnalysisThread, AStopDuringTheWaitEndsTheThreadAtOnce)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    // Nothing to analyse: the thread spends its time in the wait, caught at different points.
    for (int delay : { 20, 23, 26, 29, 32 })
    {
        SCOPED_TRACE ("stopped after " + std::to_string (delay) + " ms");
        processor.prepareToPlay (48000.0, 512);
        ASSERT_TRUE (access.isAnalysisThreadRunning());
        std::this_thread::sleep_for (milliseconds (delay));

        EXPECT_LT (timeToRelease (processor), promptStop);
        EXPECT_FALSE (access.isAnalysisThreadRunning());
        EXPECT_EQ (access.blockState (0), freeState);
        EXPECT_EQ (access.blockState (1), freeState);
    }
}

TEST (AnalysisThread, AStopDuringAScanLetsItFinishBothBlocks)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    // Stop while block 0 is being analysed and block 1 waits. Block 0 is busy for about a
    // millisecond, which a loaded machine's scheduler often hides from this thread: keep
    // trying until one attempt catches it (an idle machine needs only the first).
    auto caughtMidScan = false;

    for (int attempt = 0; attempt < 1000 && ! caughtMidScan; ++attempt)
    {
        processor.prepareToPlay (48000.0, 512);
        TestSignals::fillSine (access.block (0), 440.0);
        TestSignals::fillSine (access.block (1), 100.0);
        access.setBlockState (0, readyState);
        access.setBlockState (1, readyState);

        while (access.blockState (0) == readyState)
            std::this_thread::yield();

        caughtMidScan = access.blockState (0) == busyState;
        const auto stopTime = timeToRelease (processor);

        if (! caughtMidScan)
            continue;

        EXPECT_LT (stopTime, promptStop);
        EXPECT_FALSE (access.isAnalysisThreadRunning());
        EXPECT_EQ (access.blockState (0), freeState);
        EXPECT_EQ (access.blockState (1), freeState);
        EXPECT_NEAR (access.detectedFrequency(), 100.0f, 0.001f);
    }

    ASSERT_TRUE (caughtMidScan) << "the analysis thread was never seen holding block 0";
}

//==============================================================================
TEST (AnalysisThread, PausesFiveMillisecondsOnItsOwnEventBetweenScans)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);
    PauseLog::count = 0;
    access.setScanPause (PauseLog::pause);

    // What the pauses ask for, not how long they last: a busy machine only lengthens them.
    processor.prepareToPlay (48000.0, 512);
    const auto start = Clock::now();

    while (PauseLog::count.load() < PauseLog::size && Clock::now() - start < std::chrono::seconds (20))
        std::this_thread::sleep_for (milliseconds (1));

    processor.releaseResources();
    ASSERT_GE (PauseLog::count.load(), PauseLog::size);

    for (int i = 0; i < PauseLog::size; ++i)
    {
        SCOPED_TRACE ("pause " + std::to_string (i));
        EXPECT_EQ (PauseLog::askedMilliseconds[(size_t) i].load(), 5.0);

        // Its own event is the one a stop notifies.
        EXPECT_EQ (PauseLog::threads[(size_t) i].load(), &access.analysisThread());
    }
}

TEST (AnalysisThread, ItsWaitLastsAtLeastTheTimeAskedWhenNothingEndsIt)
{
    struct IdleThread : public juce::Thread
    {
        IdleThread() : juce::Thread ("idle") {}
        void run() override {}
    };

    // A wait is never shorter than asked, whatever the load, so this bound cannot flake.
    IdleThread thread;
    const auto start = Clock::now();
    EXPECT_FALSE (compat::waitOnThreadEvent (thread, 5.0));
    EXPECT_GE (Clock::now() - start, milliseconds (5));
}

TEST (AnalysisThread, ItsWaitEndsAsSoonAsTheThreadIsToldToStop)
{
    // The analysis thread's wait, made far longer than 5 ms: only the stop can end it early.
    struct WaitingThread : public juce::Thread
    {
        WaitingThread() : juce::Thread ("waiting") {}

        void run() override
        {
            while (! threadShouldExit())
                compat::waitOnThreadEvent (*this, 60000.0);
        }
    };

    WaitingThread thread;
    ASSERT_TRUE (thread.startThread());
    std::this_thread::sleep_for (milliseconds (20));

    const auto start = Clock::now();
    EXPECT_TRUE (thread.stopThread (2000));
    EXPECT_LT (Clock::now() - start, promptStop);
}
