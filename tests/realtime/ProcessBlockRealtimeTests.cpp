#include "RealtimeCounters.h"
#include "engine/DravelTunerAudioProcessor.h"
#include "engine/ParameterIDs.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

//==============================================================================
TEST (RealtimeCounters, SeeEveryFormOfNewMadeOnPurpose)
{
    struct alignas (64) Aligned
    {
        char bytes[64];
    };
    RealtimeCounters::Counts afterNew, afterArray, afterAligned, afterNothrow;
    bool alignedAsAsked = false;

    {
        // Nothing inside the scope but the calls under test: gtest's own macros allocate.
        RealtimeCounters::Scope scope;

        auto* volatile single = new int (1);
        delete single;
        afterNew = scope.counts();

        auto* volatile array = new float[16];
        delete[] array;
        afterArray = scope.counts();

        auto* volatile aligned = new Aligned();
        alignedAsAsked = reinterpret_cast<std::uintptr_t> (aligned) % 64 == 0;
        delete aligned;
        afterAligned = scope.counts();

        auto* volatile nothrow = new (std::nothrow) int (2);
        delete nothrow;
        afterNothrow = scope.counts();
    }

    EXPECT_EQ (afterNew.allocations, 1);
    EXPECT_EQ (afterArray.allocations, 2);
    EXPECT_EQ (afterAligned.allocations, 3);
    EXPECT_TRUE (alignedAsAsked);
    EXPECT_EQ (afterNothrow.allocations, 4);
    EXPECT_EQ (afterNothrow.locks, 0);
}

//==============================================================================
struct RealtimeCase
{
    double sampleRate;
    int numChannels;
    int bufferSize;

    friend void PrintTo (const RealtimeCase& c, std::ostream* os)
    {
        *os << c.sampleRate << " Hz, " << c.numChannels << " channels, " << c.bufferSize << " samples";
    }
};

class ProcessBlockRealtime : public testing::TestWithParam<RealtimeCase>
{};

TEST_P (ProcessBlockRealtime, NeitherAllocatesNorLocksAcrossManyBlocks)
{
    const auto& c = GetParam();

    DravelTunerAudioProcessor processor;
    const auto layout = c.numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    ASSERT_TRUE (processor.setChannelLayoutOfBus (true, 0, layout));
    ASSERT_TRUE (processor.setChannelLayoutOfBus (false, 0, layout));
    processor.prepareToPlay (c.sampleRate, c.bufferSize);

    juce::AudioBuffer<float> buffer (c.numChannels, c.bufferSize);
    juce::AudioBuffer<float> emptyBuffer (c.numChannels, 0);
    juce::MidiBuffer midi;
    auto* mute = processor.getValueTreeState().getRawParameterValue (ParameterIDs::mute);

    // Enough audio for several hand-overs at every rate, muted for part of it.
    const auto totalSamples = (int) (c.sampleRate * 0.6);
    TestSignals::SineSource sine (220.0, c.sampleRate);

    RealtimeCounters::Counts counts;

    for (int done = 0, call = 0; done < totalSamples; done += c.bufferSize, ++call)
    {
        sine.fill (buffer);

        mute->store (call % 7 == 3 ? 1.0f : 0.0f);

        RealtimeCounters::Scope scope;
        processor.processBlock (buffer, midi);
        processor.processBlock (emptyBuffer, midi);
        counts.allocations += scope.counts().allocations;
        counts.locks += scope.counts().locks;
    }

    processor.releaseResources();

    EXPECT_EQ (counts.allocations, 0);
    EXPECT_EQ (counts.locks, 0);
}

INSTANTIATE_TEST_SUITE_P (Engine, ProcessBlockRealtime, testing::Values (
    RealtimeCase { 44100.0,  2, 1 },
    RealtimeCase { 44100.0,  2, 441 },
    RealtimeCase { 48000.0,  1, 64 },
    RealtimeCase { 48000.0,  2, 480 },
    RealtimeCase { 48000.0,  2, 512 },
    RealtimeCase { 96000.0,  1, 1024 },
    RealtimeCase { 96000.0,  2, 128 },
    RealtimeCase { 192000.0, 2, 4096 },
    RealtimeCase { 192000.0, 1, 512 }));
