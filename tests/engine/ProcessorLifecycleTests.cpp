#include "support/ProcessorTestHelpers.h"
#include "support/TestSignals.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using ProcessorTestHelpers::prepareWithoutAnalysis;
using ProcessorTestHelpers::process;

namespace
{
    constexpr auto notANumber = std::numeric_limits<double>::quiet_NaN();
    constexpr auto infinity = std::numeric_limits<double>::infinity();

    void expectSameRate (double actual, double expected)
    {
        if (std::isnan (expected))
            EXPECT_TRUE (std::isnan (actual));
        else
            EXPECT_EQ (actual, expected);
    }
}

//==============================================================================
TEST (ProcessorIdentity, NamesItselfAndDeclaresAStereoInputAndOutput)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    EXPECT_EQ (processor.getName(), "Dravel Tuner");
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (true, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());

    ASSERT_NE (processor.getAAXClientExtensions(), nullptr);
    EXPECT_EQ (processor.getAAXClientExtensions()->getPageFileName(), "DravelTunerPages.xml");
}

TEST (ProcessorIdentity, HasOneProgramCalledDefaultThatCannotBeChanged)
{
    DravelTunerAudioProcessor processor;

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getProgramName (0), "Default");
    EXPECT_EQ (processor.getProgramName (1), "");
    EXPECT_EQ (processor.getProgramName (-1), "");

    processor.setCurrentProgram (3);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    processor.changeProgramName (0, "Renamed");
    EXPECT_EQ (processor.getProgramName (0), "Default");
}

TEST (ProcessorIdentity, ANewProcessorStartsIdleWithNothingPublished)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);

    EXPECT_FALSE (access.isAnalysisThreadRunning());
    EXPECT_EQ (access.analysisThread().getThreadName(), "Dravel Tuner pitch analysis");
    EXPECT_EQ (access.decimationFactor(), 1);
    EXPECT_EQ (access.analysisSampleRate(), 48000.0);

    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ (access.blockState (i), AnalysisBlock::stateFree);
        EXPECT_EQ (access.block (i).sampleRate, 48000.0);
    }

    EXPECT_EQ (access.detectedFrequency(), 0.0f);
    EXPECT_EQ (access.detectedConfidence(), 0.0f);
    EXPECT_EQ (access.inputLevel(), 0.0f);
}

//==============================================================================
struct BusLayoutCase
{
    const char* name;
    juce::AudioChannelSet in, out;
    bool supported;

    friend void PrintTo (const BusLayoutCase& c, std::ostream* os) { *os << c.name; }
};

class BusLayouts : public testing::TestWithParam<BusLayoutCase>
{};

TEST_P (BusLayouts, AcceptsOnlyMatchingMonoOrStereo)
{
    const auto& c = GetParam();
    DravelTunerAudioProcessor processor;

    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (c.in);
    layout.outputBuses.add (c.out);

    EXPECT_EQ (processor.checkBusesLayoutSupported (layout), c.supported);
}

INSTANTIATE_TEST_SUITE_P (ProcessorIdentity, BusLayouts, testing::Values (
    BusLayoutCase { "MonoToMono",          juce::AudioChannelSet::mono(),     juce::AudioChannelSet::mono(),     true },
    BusLayoutCase { "StereoToStereo",      juce::AudioChannelSet::stereo(),   juce::AudioChannelSet::stereo(),   true },
    BusLayoutCase { "MonoToStereo",        juce::AudioChannelSet::mono(),     juce::AudioChannelSet::stereo(),   false },
    BusLayoutCase { "StereoToMono",        juce::AudioChannelSet::stereo(),   juce::AudioChannelSet::mono(),     false },
    BusLayoutCase { "DisabledToDisabled",  juce::AudioChannelSet::disabled(), juce::AudioChannelSet::disabled(), false },
    BusLayoutCase { "DisabledToMono",      juce::AudioChannelSet::disabled(), juce::AudioChannelSet::mono(),     false },
    BusLayoutCase { "DisabledToStereo",    juce::AudioChannelSet::disabled(), juce::AudioChannelSet::stereo(),   false },
    BusLayoutCase { "LcrToLcr",            juce::AudioChannelSet::createLCR(), juce::AudioChannelSet::createLCR(), false },
    BusLayoutCase { "QuadToQuad",          juce::AudioChannelSet::quadraphonic(), juce::AudioChannelSet::quadraphonic(), false },
    BusLayoutCase { "DiscreteTwoToTwo",    juce::AudioChannelSet::discreteChannels (2), juce::AudioChannelSet::discreteChannels (2), false }),
    [] (const testing::TestParamInfo<BusLayoutCase>& layoutCase) { return std::string (layoutCase.param.name); });

TEST (ProcessorIdentity, ALayoutWithoutBusesIsRefused)
{
    DravelTunerAudioProcessor processor;
    EXPECT_FALSE (processor.isBusesLayoutSupported (juce::AudioProcessor::BusesLayout()));
}

//==============================================================================
struct DecimationCase
{
    double sampleRate;
    int factor;
    double analysisRate;

    friend void PrintTo (const DecimationCase& c, std::ostream* os) { *os << c.sampleRate << " Hz"; }
};

class Decimation : public testing::TestWithParam<DecimationCase>
{};

TEST_P (Decimation, BringsTheDeviceRateToAtMost48kHzWhateverTheBlockSize)
{
    const auto& c = GetParam();

    for (auto blockSize : { 512, 1, 0, -1, -4096 })
    {
        SCOPED_TRACE (blockSize);
        DravelTunerAudioProcessor processor;
        DravelTunerAudioProcessor::TestAccess access (processor);

        processor.prepareToPlay (c.sampleRate, blockSize);

        EXPECT_TRUE (access.isAnalysisThreadRunning());
        EXPECT_EQ (access.decimationFactor(), c.factor);
        expectSameRate (access.analysisSampleRate(), c.analysisRate);

        processor.releaseResources();
    }
}

INSTANTIATE_TEST_SUITE_P (ProcessorLifecycle, Decimation, testing::Values (
    DecimationCase { 8000.0,   1, 8000.0 },
    DecimationCase { 22050.0,  1, 22050.0 },
    DecimationCase { 32000.0,  1, 32000.0 },
    DecimationCase { 44100.0,  1, 44100.0 },
    DecimationCase { 48000.0,  1, 48000.0 },
    DecimationCase { 48001.0,  2, 24000.5 },
    DecimationCase { 88200.0,  2, 44100.0 },
    DecimationCase { 96000.0,  2, 48000.0 },
    DecimationCase { 176400.0, 4, 44100.0 },
    DecimationCase { 192000.0, 4, 48000.0 },
    DecimationCase { 352800.0, 8, 44100.0 },
    DecimationCase { 384000.0, 8, 48000.0 },
    DecimationCase { 705600.0, 15, 47040.0 },
    DecimationCase { 0.0,      1, 0.0 },
    DecimationCase { -44100.0, 1, -44100.0 },
    DecimationCase { notANumber, 1, notANumber },
    DecimationCase { infinity, 1, infinity },
    DecimationCase { -infinity, 1, -infinity },
    DecimationCase { 1.0e300,  1, 1.0e300 })); // a factor that would not fit an int

//==============================================================================
TEST (ProcessorLifecycle, PreparingAgainFreesAReadyBlockAndRestartsFillingAtBlockZero)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);
    prepareWithoutAnalysis (processor, 48000.0);

    // A 440 Hz block left ready, and part of the next one filled.
    process (processor, 2, AnalysisConstants::blockLength + 100,
             [] (int, int i) { return TestSignals::sineSample (440.0, 48000.0, 0.5, i); });
    ASSERT_EQ (access.blockState (0), AnalysisBlock::stateReady);
    ASSERT_EQ (access.writeBlockIndex(), 1);
    ASSERT_EQ (access.writePosition(), 100);
    access.publish (123.0f, 0.5f);

    processor.prepareToPlay (48000.0, 512);
    processor.prepareToPlay (48000.0, 512); // twice in a row, as a device restart may do

    EXPECT_TRUE (access.isAnalysisThreadRunning());
    EXPECT_EQ (access.blockState (0), AnalysisBlock::stateFree);
    EXPECT_EQ (access.blockState (1), AnalysisBlock::stateFree);
    EXPECT_EQ (access.writeBlockIndex(), 0);
    EXPECT_EQ (access.writePosition(), 0);
    EXPECT_EQ (access.decimationCount(), 0);
    EXPECT_EQ (access.detectedFrequency(), 0.0f);
    EXPECT_EQ (access.detectedConfidence(), 0.0f);
    EXPECT_EQ (access.inputLevel(), 0.0f);

    // The freed block is never analysed: nothing is published while the thread runs.
    juce::Thread::sleep (50);
    EXPECT_EQ (access.detectedFrequency(), 0.0f);

    processor.releaseResources();
}

TEST (ProcessorLifecycle, ReleaseKeepsThePublishedValuesUntilTheNextPrepare)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);
    prepareWithoutAnalysis (processor, 96000.0);

    process (processor, 2, 3, [] (int, int) { return 0.25f; });
    access.publish (440.0f, 0.9f);

    processor.releaseResources();
    processor.releaseResources();

    EXPECT_FALSE (access.isAnalysisThreadRunning());
    EXPECT_EQ (access.detectedFrequency(), 440.0f);
    EXPECT_EQ (access.detectedConfidence(), 0.9f);
    EXPECT_EQ (access.inputLevel(), 0.25f);
    EXPECT_EQ (access.decimationFactor(), 2);
    EXPECT_EQ (access.decimationCount(), 1);
    EXPECT_EQ (access.writePosition(), 1);
    EXPECT_EQ (processor.getTunerReading().noteName, "A4");

    processor.prepareToPlay (96000.0, 512);

    EXPECT_EQ (access.detectedFrequency(), 0.0f);
    EXPECT_EQ (access.detectedConfidence(), 0.0f);
    EXPECT_EQ (access.inputLevel(), 0.0f);
    EXPECT_FALSE (processor.getTunerReading().isValid);

    processor.releaseResources();
}

TEST (ProcessorLifecycle, ReleaseAndDestructionBeforeAnyPrepareDoNothing)
{
    auto processor = std::make_unique<DravelTunerAudioProcessor>();
    DravelTunerAudioProcessor::TestAccess access (*processor);

    processor->releaseResources();
    processor->releaseResources();

    EXPECT_FALSE (access.isAnalysisThreadRunning());
    EXPECT_EQ (access.decimationFactor(), 1);
    EXPECT_EQ (access.analysisSampleRate(), 48000.0);
    EXPECT_EQ (access.blockState (0), AnalysisBlock::stateFree);

    processor.reset();
}

TEST (ProcessorLifecycle, DestroyingAPlayingProcessorStopsItsThread)
{
    auto processor = std::make_unique<DravelTunerAudioProcessor>();
    processor->prepareToPlay (48000.0, 512);
    ASSERT_TRUE (DravelTunerAudioProcessor::TestAccess (*processor).isAnalysisThreadRunning());

    processor.reset(); // would hang or crash if the thread outlived its owner
}

TEST (ProcessorLifecycle, TheFactoryMakesANewProcessorEachTime)
{
    std::unique_ptr<juce::AudioProcessor> first (createPluginFilter());
    std::unique_ptr<juce::AudioProcessor> second (createPluginFilter());

    ASSERT_NE (dynamic_cast<DravelTunerAudioProcessor*> (first.get()), nullptr);
    EXPECT_NE (first.get(), second.get());
    EXPECT_EQ (first->getName(), "Dravel Tuner");
}
