#include "engine/PitchDetector.h"
#include "support/ProcessorTestAccess.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace
{
    constexpr double blockRate = 48000.0;

    /** The block's RMS the way the silence gate measures it. */
    float gateLevel (const AnalysisBlock& block)
    {
        auto sum = 0.0;

        for (auto sample : block.samples)
            sum += (double) sample * (double) sample;

        return (float) std::sqrt (sum * 0.000244140625);
    }

    void fillSquareWave (AnalysisBlock& block, float level, int period)
    {
        for (size_t n = 0; n < block.samples.size(); ++n)
            block.samples[n] = (int) n % period < period / 2 ? level : -level;

        block.sampleRate = blockRate;
    }

    class PitchDetectorTest  : public ::testing::Test
    {
    protected:
        /** Analyses the block over a stale result, so that every outcome must be published. */
        PitchDetector::Estimate analyse()
        {
            access.publish (-1.0f, -1.0f);
            access.analyseBlock (block);
            return { access.detectedFrequency(), access.detectedConfidence() };
        }

        DravelTunerAudioProcessor processor;
        DravelTunerAudioProcessor::TestAccess access { processor };
        AnalysisBlock& block = access.block (0);
    };
}

//==============================================================================
TEST_F (PitchDetectorTest, PublishesNothingForBlocksBelowTheSilenceLevel)
{
    const auto justBelowTheGate = std::nextafter (AnalysisConstants::silenceThreshold, 0.0f);

    const std::vector<std::pair<const char*, std::function<void()>>> quietBlocks {
        { "digital silence",                [this] { block.samples.fill (0.0f); } },
        { "a sine of amplitude 0.003",      [this] { TestSignals::fillSine (block, 440.0, blockRate, 0.003); } },
        { "a square wave just under 0.0025", [&]   { fillSquareWave (block, justBelowTheGate, 110); } },
    };

    for (const auto& [name, fill] : quietBlocks)
    {
        SCOPED_TRACE (name);
        fill();
        ASSERT_LT (gateLevel (block), AnalysisConstants::silenceThreshold);

        const auto estimate = analyse();
        EXPECT_EQ (estimate.frequency, 0.0f);
        EXPECT_EQ (estimate.confidence, 0.0f);
    }
}

TEST_F (PitchDetectorTest, AnalysesABlockWhoseLevelIsExactlyTheSilenceLevel)
{
    fillSquareWave (block, AnalysisConstants::silenceThreshold, 110);
    ASSERT_EQ (gateLevel (block), AnalysisConstants::silenceThreshold);

    const auto estimate = analyse();
    EXPECT_NEAR (estimate.frequency, blockRate / 110.0, 0.05);
    EXPECT_GT (estimate.confidence, 0.99f);
}

TEST_F (PitchDetectorTest, RejectsAConstantBlockWithNoConfidence)
{
    block.samples.fill (0.01f);

    const auto estimate = analyse();
    EXPECT_EQ (estimate.frequency, 0.0f);
    EXPECT_EQ (estimate.confidence, 0.0f);
}

//==============================================================================
namespace
{
    struct PublishedTone
    {
        double frequency;
        int lag;                        // the lag the refinement starts from
        double expectedFrequency, tolerance;
        float minConfidence;
    };

    void PrintTo (const PublishedTone& tone, std::ostream* os)    { *os << tone.frequency << " Hz"; }

    class PublishedTones  : public PitchDetectorTest,
                            public ::testing::WithParamInterface<PublishedTone> {};
}

TEST_P (PublishedTones, AreFoundAtTheirLagAndRefined)
{
    const auto tone = GetParam();
    TestSignals::fillSine (block, tone.frequency);

    const auto estimate = analyse();
    EXPECT_NEAR (estimate.frequency, tone.expectedFrequency, tone.tolerance);
    EXPECT_NEAR (blockRate / estimate.frequency, tone.lag, 0.5);
    EXPECT_GE (estimate.confidence, tone.minConfidence);
    EXPECT_LE (estimate.confidence, 1.0f);
}

INSTANTIATE_TEST_SUITE_P (PitchDetector, PublishedTones, ::testing::Values (
    PublishedTone { 440.0,  109, 440.02, 0.005, 0.9999f },
    PublishedTone { 100.0,  480, 100.0,  0.001, 1.0f },
    PublishedTone { 1990.0, 24,  1991.7, 0.05,  0.9f },
    // Its period of 16 samples is below the shortest lag: found at two periods.
    PublishedTone { 3000.0, 32,  1500.7, 0.05,  1.0f }));

//==============================================================================
TEST_F (PitchDetectorTest, ZeroesTheConfidenceOfAToneRefinedAboveTheRange)
{
    TestSignals::fillSine (block, 2010.0);

    const auto estimate = analyse();
    EXPECT_EQ (estimate.frequency, 0.0f);
    EXPECT_EQ (estimate.confidence, 0.0f);
}

TEST_F (PitchDetectorTest, RejectsAToneBelowTheRangeAtTheLongestLagButPublishesItsConfidence)
{
    // No lag qualifies; the lowest value lies at the longest lag, which has no neighbour above.
    TestSignals::fillSine (block, 20.0);

    const auto estimate = analyse();
    EXPECT_EQ (estimate.frequency, 0.0f);
    EXPECT_NEAR (estimate.confidence, 0.069f, 0.005f);
}

TEST_F (PitchDetectorTest, PublishesTheTopOfTheRangeWithANaNConfidenceForAnInfiniteSample)
{
    for (const auto infinity : { std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() })
    {
        SCOPED_TRACE (infinity);
        TestSignals::fillSine (block, 440.0);
        block.samples[100] = infinity;

        const auto estimate = analyse();
        EXPECT_EQ (estimate.frequency, 2000.0f);
        EXPECT_TRUE (std::isnan (estimate.confidence));
    }
}

TEST_F (PitchDetectorTest, PublishesNoPitchForANaNSample)
{
    TestSignals::fillSine (block, 440.0);
    block.samples[100] = std::numeric_limits<float>::quiet_NaN();

    const auto estimate = analyse();
    EXPECT_EQ (estimate.frequency, 0.0f);
    EXPECT_EQ (estimate.confidence, 0.0f);
}

TEST_F (PitchDetectorTest, FindsTonesAtOtherBlockRates)
{
    // 44.1 kHz searches 22 to 1604; 96 kHz, met only when handed such a block, reaches the cap.
    for (const auto& [rate, frequency] : { std::pair { 44100.0, 440.0 }, std::pair { 96000.0, 100.0 }, std::pair { 8000.0, 250.0 } })
    {
        SCOPED_TRACE (rate);
        TestSignals::fillSine (block, frequency, rate);

        const auto estimate = analyse();
        EXPECT_NEAR (estimate.frequency, frequency, frequency * 0.001);
        EXPECT_GT (estimate.confidence, 0.999f);
    }
}

TEST_F (PitchDetectorTest, PublishesNoPitchForABlockRateBeyondTheScratch)
{
    // From 4094000 Hz the shortest lag leaves no room above it within 2048 lags.
    for (const auto rate : { 4094000.0, 1.0e12, 1.0e300 })
    {
        SCOPED_TRACE (rate);
        TestSignals::fillSine (block, 440.0);
        block.sampleRate = rate;

        const auto estimate = analyse();
        EXPECT_EQ (estimate.frequency, 0.0f);
        EXPECT_EQ (estimate.confidence, 0.0f);
    }
}

//==============================================================================
TEST (PitchDetector, SearchesTheLagsOf2000HzDownTo27Point5Hz)
{
    const auto inf = std::numeric_limits<double>::infinity();
    const auto nan = std::numeric_limits<double>::quiet_NaN();

    struct Row { double rate; int minLag, maxLag, windowLength; };

    const Row rows[] {
        { 8000.0,    4,    291,  3805 },
        { 44100.0,   22,   1604, 2492 },
        { 48000.0,   24,   1746, 2350 },
        { 56320.0,   28,   2048, 2048 },     // exactly 2048 lags of 27.5 Hz
        { 56321.0,   28,   2048, 2048 },     // capped from 2049
        { 96000.0,   48,   2048, 2048 },
        { 192000.0,  96,   2048, 2048 },
        { 4093999.0, 2046, 2048, 2048 },     // the highest rate the scratch serves
        { 82.5,      2,    4,    4092 },     // floor of minLag + 2
        { 0.0,       2,    4,    4092 },
        { -48000.0,  2,    4,    4092 },
        { inf,       2,    4,    4092 },
        { -inf,      2,    4,    4092 },
        { nan,       2,    4,    4092 },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.rate);
        const auto range = PitchDetector::lagRangeFor (row.rate);
        EXPECT_EQ (range.minLag, row.minLag);
        EXPECT_EQ (range.maxLag, row.maxLag);
        EXPECT_EQ (range.windowLength, row.windowLength);
    }
}

TEST (PitchDetector, SettlesOnTheFirstDipUnderTheThresholdOrElseTheSmallestLowestLag)
{
    constexpr PitchDetector::LagRange range { 4, 30, 4066 };

    struct Case
    {
        const char* name;
        std::vector<std::pair<int, float>> values;     // lag, value; all others 1.0f
        int expectedLag;
    };

    const auto nan = std::numeric_limits<float>::quiet_NaN();

    const Case cases[] {
        { "the first lag under the threshold, walked down",  { { 10, 0.11f }, { 11, 0.05f }, { 12, 0.07f }, { 20, 0.0f } }, 11 },
        { "the walk stops where the next value is equal",    { { 10, 0.1f }, { 11, 0.1f }, { 12, 0.0f } },                 10 },
        { "lags below the shortest are not searched",        { { 3, 0.0f }, { 15, 0.1f } },                                15 },
        { "a walk down to the longest lag ends there",       { { 28, 0.1f }, { 29, 0.05f }, { 30, 0.01f } },               30 },
        { "the longest lag is not searched, only fallen on", { { 12, 0.5f }, { 30, 0.0f } },                               30 },
        { "the fallback takes the lowest value",             { { 9, 0.6f }, { 17, 0.4f }, { 25, 0.5f } },                  17 },
        { "a tie in the fallback keeps the smaller lag",     { { 15, 0.5f }, { 25, 0.5f } },                               15 },
        { "no value at all keeps the shortest lag",          {},                                                           4  },
        { "a NaN is not under the threshold",                { { 5, nan }, { 8, 0.1f } },                                  8  },
        { "nothing is lower than a NaN at the shortest lag", { { 4, nan }, { 6, 0.8f } },                                  4  },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        std::array<float, PitchDetector::scratchSize> normalised {};
        std::fill (normalised.begin(), normalised.begin() + range.maxLag + 1, 1.0f);

        for (const auto& [lag, value] : c.values)
            normalised[(size_t) lag] = value;

        EXPECT_EQ (PitchDetector::findBestLag (normalised.data(), range), c.expectedLag);
    }
}
