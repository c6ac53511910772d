#include "engine/ParameterIDs.h"
#include "support/ProcessorTestHelpers.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <ostream>

using namespace ProcessorTestHelpers;

namespace
{
    constexpr auto blockLength = AnalysisConstants::blockLength;

    float testSignal (int channel, int i)
    {
        return 0.3f * std::sin (0.01f * (float) i + (float) channel) + 0.01f * (float) channel;
    }
}

//==============================================================================
/** A processor prepared for a rate with its analysis thread stopped again, so that the
    blocks stay where the audio thread leaves them. */
class AudioIntake : public testing::Test
{
protected:
    void prepare (double sampleRate) { prepareWithoutAnalysis (processor, sampleRate); }

    juce::AudioBuffer<float> feed (int numSamples, float value, int numChannels = 2)
    {
        return process (processor, numChannels, numSamples, [value] (int, int) { return value; });
    }

    PermissiveProcessor processor;
    DravelTunerAudioProcessor::TestAccess access { processor };
};

TEST_F (AudioIntake, PassesTheInputThroughUnchanged)
{
    prepare (48000.0);

    juce::AudioBuffer<float> buffer (2, 480);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 480; ++i)
            buffer.setSample (channel, i, testSignal (channel, i));

    juce::AudioBuffer<float> original (buffer);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.5f), 10);

    processor.processBlock (buffer, midi);

    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < 480; ++i)
            ASSERT_EQ (buffer.getSample (channel, i), original.getSample (channel, i));

    EXPECT_EQ (midi.getNumEvents(), 1);
}

TEST_F (AudioIntake, MixesToMonoAndPublishesTheRmsOfTheMix)
{
    prepare (48000.0);

    // 0.5 and -0.5 cancel; 0.25 and 0.75 average to 0.5.
    process (processor, 2, 2, [] (int channel, int i) { return i == 0 ? (channel == 0 ? 0.5f : -0.5f)
                                                                      : (channel == 0 ? 0.25f : 0.75f); });

    EXPECT_EQ (access.block (0).samples[0], 0.0f);
    EXPECT_EQ (access.block (0).samples[1], 0.5f);
    EXPECT_EQ (access.inputLevel(), (float) std::sqrt ((0.0 + 0.25) / 2.0));

    // The level is the RMS of the undecimated mix of the last buffer, summed in double.
    juce::AudioBuffer<float> buffer (2, 333);
    auto sumOfSquares = 0.0;

    for (int i = 0; i < 333; ++i)
    {
        buffer.setSample (0, i, testSignal (0, i));
        buffer.setSample (1, i, testSignal (1, i));
        const auto mono = (double) ((testSignal (0, i) + testSignal (1, i)) / 2.0f);
        sumOfSquares += mono * mono;
    }

    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    EXPECT_EQ (access.inputLevel(), (float) std::sqrt (sumOfSquares / 333.0));
}

TEST_F (AudioIntake, AveragesRunsOfSamplesAcrossBufferBoundaries)
{
    prepare (96000.0);
    ASSERT_EQ (access.decimationFactor(), 2);

    process (processor, 2, 3, [] (int, int i) { return (float) (i + 1); }); // 1, 2, 3
    EXPECT_EQ (access.writePosition(), 1);
    EXPECT_EQ (access.block (0).samples[0], 1.5f);
    EXPECT_EQ (access.decimationCount(), 1);
    EXPECT_EQ (access.decimationSum(), 3.0f);

    process (processor, 2, 3, [] (int, int i) { return (float) (i + 4); }); // 4, 5, 6
    EXPECT_EQ (access.writePosition(), 3);
    EXPECT_EQ (access.block (0).samples[1], 3.5f);
    EXPECT_EQ (access.block (0).samples[2], 5.5f);
    EXPECT_EQ (access.decimationCount(), 0);
}

TEST_F (AudioIntake, HandsOverAFullBlockWithItsRateInTheSameCall)
{
    prepare (88200.0);

    feed (2 * (blockLength - 1), 0.1f);
    EXPECT_EQ (access.blockState (0), AnalysisBlock::stateFree);
    EXPECT_EQ (access.writePosition(), blockLength - 1);

    feed (2, 0.2f);
    EXPECT_EQ (access.blockState (0), AnalysisBlock::stateReady);
    EXPECT_EQ (access.block (0).sampleRate, 44100.0);
    EXPECT_EQ (access.block (0).samples[(size_t) blockLength - 1], 0.2f);
    EXPECT_EQ (access.writeBlockIndex(), 1);
    EXPECT_EQ (access.writePosition(), 0);
}

TEST_F (AudioIntake, DropsSamplesWhileBothBlocksAreBusyAndResumesAtTheFirstFreeBlock)
{
    prepare (96000.0);

    feed (2 * 2 * blockLength, 0.1f);
    ASSERT_EQ (access.blockState (0), AnalysisBlock::stateReady);
    ASSERT_EQ (access.blockState (1), AnalysisBlock::stateReady);
    access.setBlockState (1, AnalysisBlock::stateBeingAnalysed);

    // Nothing is stored, the cursor stays, the decimator keeps running, level and output follow.
    const auto output = feed (7, 0.4f);
    EXPECT_EQ (access.writeBlockIndex(), 0);
    EXPECT_EQ (access.writePosition(), 0);
    EXPECT_EQ (access.decimationCount(), 1);
    EXPECT_EQ (access.decimationSum(), 0.4f);
    EXPECT_EQ (access.inputLevel(), 0.4f);
    EXPECT_EQ (output.getSample (1, 6), 0.4f);
    EXPECT_EQ (access.block (0).samples[0], 0.1f);

    // The block being written is tried first...
    access.setBlockState (0, AnalysisBlock::stateFree);
    feed (3, 0.6f); // completes the run 0.4 + 0.6, then one of 0.6 + 0.6
    EXPECT_EQ (access.writeBlockIndex(), 0);
    EXPECT_EQ (access.writePosition(), 2);
    EXPECT_EQ (access.block (0).samples[0], 0.5f);
    EXPECT_EQ (access.block (0).samples[1], 0.6f);

    // ...and when it is busy, writing moves to the other one, from its start.
    feed (2 * (blockLength - 2), 0.1f);
    ASSERT_EQ (access.blockState (0), AnalysisBlock::stateReady);
    ASSERT_EQ (access.writeBlockIndex(), 1);
    access.setBlockState (0, AnalysisBlock::stateFree);

    process (processor, 2, 2, [] (int, int i) { return i == 0 ? 0.7f : 0.9f; });
    EXPECT_EQ (access.writeBlockIndex(), 0);
    EXPECT_EQ (access.writePosition(), 1);
    EXPECT_EQ (access.block (0).samples[0], (0.7f + 0.9f) / 2.0f);
    EXPECT_EQ (access.blockState (1), AnalysisBlock::stateBeingAnalysed);
}

TEST_F (AudioIntake, MutesFromHalfTheRawValueWhileTheAnalysisStillListens)
{
    prepare (48000.0);

    struct Case
    {
        float rawMute;
        bool muted;
    };
    auto expectedPosition = 0;

    for (const auto& c : { Case { 0.0f, false }, Case { 0.49999f, false }, Case { 0.5f, true },
                           Case { 1.0f, true }, Case { std::numeric_limits<float>::quiet_NaN(), false } })
    {
        SCOPED_TRACE (c.rawMute);
        setRawParameter (processor, ParameterIDs::mute, c.rawMute);

        const auto output = feed (64, 0.25f);
        expectedPosition += 64;

        EXPECT_EQ (output.getSample (0, 10), c.muted ? 0.0f : 0.25f);
        EXPECT_EQ (output.getSample (1, 63), c.muted ? 0.0f : 0.25f);
        EXPECT_EQ (access.inputLevel(), 0.25f);
        EXPECT_EQ (access.writePosition(), expectedPosition);
        EXPECT_EQ (access.block (0).samples[(size_t) expectedPosition - 1], 0.25f);
    }
}

TEST_F (AudioIntake, ClearsOutputChannelsThatHaveNoInput)
{
    processor.setPlayConfigDetails (1, 2, 48000.0, 512);
    ASSERT_EQ (processor.getTotalNumInputChannels(), 1);
    ASSERT_EQ (processor.getTotalNumOutputChannels(), 2);
    prepare (48000.0);

    const auto output = process (processor, 2, 16, [] (int channel, int) { return channel == 0 ? 0.3f : 0.9f; });

    EXPECT_EQ (output.getSample (0, 15), 0.3f);
    EXPECT_EQ (output.getSample (1, 15), 0.0f);
    EXPECT_EQ (access.block (0).samples[15], 0.3f); // channel 0 divided by 1
}

TEST_F (AudioIntake, WithoutInputChannelsFeedsSilenceAndClearsTheOutput)
{
    processor.setPlayConfigDetails (0, 2, 48000.0, 512);
    ASSERT_EQ (processor.getTotalNumInputChannels(), 0);
    prepare (48000.0);
    access.setInputLevel (0.7f);

    const auto output = feed (blockLength, 0.3f);

    EXPECT_EQ (output.getSample (0, 0), 0.0f);
    EXPECT_EQ (output.getSample (1, blockLength - 1), 0.0f);
    EXPECT_EQ (access.inputLevel(), 0.0f);
    EXPECT_EQ (access.blockState (0), AnalysisBlock::stateReady);
    EXPECT_EQ (access.block (0).samples[100], 0.0f);
}

TEST_F (AudioIntake, ABufferWithoutSamplesChangesNothing)
{
    prepare (96000.0);
    feed (3, 0.5f);
    setRawParameter (processor, ParameterIDs::mute, 1.0f);

    const auto output = feed (0, 0.9f);

    EXPECT_EQ (output.getNumSamples(), 0);
    EXPECT_EQ (access.inputLevel(), 0.5f);
    EXPECT_EQ (access.writePosition(), 1);
    EXPECT_EQ (access.decimationCount(), 1);
}

TEST_F (AudioIntake, ABufferNarrowerThanTheBusesIsReadOnlyAsFarAsItGoes)
{
    prepare (48000.0);
    ASSERT_EQ (processor.getTotalNumInputChannels(), 2);

    const auto output = feed (8, 0.5f, 1);

    EXPECT_EQ (output.getSample (0, 7), 0.5f);
    EXPECT_EQ (access.block (0).samples[7], 0.5f);
}

TEST_F (AudioIntake, PassesNonFiniteSamplesOnUntested)
{
    prepare (48000.0);
    const auto infinity = std::numeric_limits<float>::infinity();

    const auto output = feed (4, infinity);

    EXPECT_EQ (output.getSample (0, 3), infinity);
    EXPECT_EQ (access.block (0).samples[3], infinity);
    EXPECT_EQ (access.inputLevel(), infinity);

    feed (4, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE (std::isnan (access.block (0).samples[5]));
    EXPECT_TRUE (std::isnan (access.inputLevel()));
}

//==============================================================================
namespace
{
    /** Signals on both channels whose intake meets denormals: as samples, as a mix or as an
        average, each made from samples given by (channel, index). */
    struct DenormalCase
    {
        const char* name;
        double sampleRate;
        float (*sampleAt) (int channel, int i);
        bool levelIsZero;

        friend std::ostream& operator<< (std::ostream& o, const DenormalCase& c) { return o << c.name; }
    };

    // What the first analysis sample would be with denormals kept, worked out on the test's
    // own thread, whose mode keeps them.
    float unflushedFirstAnalysisSample (const DenormalCase& c, int decimationFactor)
    {
        volatile float sum = 0.0f;

        for (int i = 0; i < decimationFactor; ++i)
        {
            volatile float mono = c.sampleAt (0, i);
            mono = mono + c.sampleAt (1, i);
            mono = mono / 2.0f;
            sum = sum + mono;
        }

        return sum / (float) decimationFactor;
    }

    /** Restores the denormal mode of the test's thread, whatever a test leaves it in. */
    struct CallerDenormalMode
    {
        explicit CallerDenormalMode (bool disabled) { juce::FloatVectorOperations::disableDenormalisedNumberSupport (disabled); }
        ~CallerDenormalMode() { juce::FloatVectorOperations::disableDenormalisedNumberSupport (false); }
    };

    bool denormalsWorkHere()
    {
        // A denormal read (1e-39 * 1) and a denormal result (2e-38 / 4) both survive.
        volatile float tiny = 1.0e-39f, small = 2.0e-38f;
        volatile float read = tiny * 1.0f, made = small / 4.0f;
        return read != 0.0f && made != 0.0f;
    }

    class AudioIntakeDenormals : public AudioIntake,
                                 public testing::WithParamInterface<DenormalCase>
    {
    };
}

TEST_P (AudioIntakeDenormals, FlushesThemToZeroForTheWholeIntake)
{
    const auto& c = GetParam();
    ASSERT_TRUE (denormalsWorkHere());

    prepare (c.sampleRate);
    const auto unflushed = unflushedFirstAnalysisSample (c, access.decimationFactor());
    ASSERT_EQ (std::fpclassify (unflushed), FP_SUBNORMAL) << unflushed;

    process (processor, 2, 64, c.sampleAt);

    const auto written = 64 / access.decimationFactor();
    ASSERT_EQ (access.writePosition(), written);

    for (int i = 0; i < written; ++i)
        ASSERT_EQ (access.block (0).samples[(size_t) i], 0.0f) << "analysis sample " << i;

    if (c.levelIsZero)
        EXPECT_EQ (access.inputLevel(), 0.0f);
    else
        EXPECT_EQ (std::fpclassify (access.inputLevel()), FP_NORMAL) << access.inputLevel();
}

INSTANTIATE_TEST_SUITE_P (Engine, AudioIntakeDenormals, testing::Values (
    DenormalCase { "denormal samples", 48000.0,
                   [] (int, int) { return 1.0e-39f; }, true },
    DenormalCase { "normal channels mixing to a denormal", 48000.0,
                   [] (int channel, int) { return channel == 0 ? 3.0e-38f : -2.9e-38f; }, true },
    DenormalCase { "normal samples averaging to a denormal", 96000.0,
                   [] (int, int i) { return i % 2 == 0 ? 2.0e-38f : -1.9e-38f; }, false }));

TEST_F (AudioIntake, LeavesTheCallersDenormalModeAsItFoundIt)
{
    prepare (48000.0);

    for (auto callerDisabled : { false, true })
    {
        SCOPED_TRACE (callerDisabled ? "caller flushes denormals" : "caller keeps denormals");
        const CallerDenormalMode mode (callerDisabled);
        const auto rounding = std::fegetround();

        feed (64, 1.0e-39f);

        EXPECT_EQ (juce::FloatVectorOperations::areDenormalsDisabled(), callerDisabled);
        EXPECT_EQ (denormalsWorkHere(), ! callerDisabled);
        EXPECT_EQ (std::fegetround(), rounding);
    }
}
