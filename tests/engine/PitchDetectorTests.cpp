#include "engine/PitchDetector.h"
#include "support/ProcessorTestAccess.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>
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

    /** The normalised difference at every lag, as the detector's decisions see it, from
        its own difference function and normalisation. */
    std::array<float, PitchDetector::scratchSize> normalisedDifferences (const AnalysisBlock& block)
    {
        const auto range = PitchDetector::lagRangeFor (block.sampleRate);
        std::array<float, PitchDetector::scratchSize> difference {}, normalised {};
        PitchDetector::computeDifferences (block.samples.data(), range, difference.data());
        PitchDetector::normalise (difference.data(), range, normalised.data());
        return normalised;
    }

    /** The lag of the lowest value over the lags given (the smaller lag on a tie), and that value. */
    std::pair<int, float> lowestValue (const std::array<float, PitchDetector::scratchSize>& normalised,
                                       int fromLag, int toLag)
    {
        auto lowest = fromLag;

        for (int tau = fromLag + 1; tau <= toLag; ++tau)
            if (normalised[(size_t) tau] < normalised[(size_t) lowest])
                lowest = tau;

        return { lowest, normalised[(size_t) lowest] };
    }

    void fillSquareWave (AnalysisBlock& block, float level, int period)
    {
        for (size_t n = 0; n < block.samples.size(); ++n)
            block.samples[n] = (int) n % period < period / 2 ? level : -level;

        block.sampleRate = blockRate;
    }

    class PitchDetectorTest : public ::testing::Test
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
        { "digital silence", [this] { block.samples.fill (0.0f); } },
        { "a sine of amplitude 0.003", [this] { TestSignals::fillSine (block, 440.0, blockRate, 0.003); } },
        { "a square wave just under 0.0025", [&] { fillSquareWave (block, justBelowTheGate, 110); } },
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
        int lag; // the lag the refinement starts from
        double expectedFrequency, tolerance;
        float minConfidence;
    };

    void PrintTo (const PublishedTone& tone, std::ostream* os) { *os << tone.frequency << " Hz"; }

    class PublishedTones : public PitchDetectorTest,
                           public ::testing::WithParamInterface<PublishedTone>
    {};
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

//==============================================================================
TEST_F (PitchDetectorTest, TakesTheDipAtHalfThePeriodOnlyWhenItIsUnderTheThreshold)
{
    // 100 Hz under a partial an octave up four times as loud: the first dip, at half the
    // period, lies a hair either side of 0.12, and the full period, lag 480, near 0. Only a
    // dip under 0.12 stops the search, so a larger threshold reads the first tone an octave
    // up and a smaller one reads the second at its fundamental.
    struct Case
    {
        const char* name;
        double octaveAmplitude;
        float dipFrom, dipTo;
        int bestLag;
        float frequency;
    };

    // clang-format off
    const Case cases[] {
        { "a dip just above 0.12 is passed over for the period", 0.399, 0.12f,  0.121f, 480, 100.0f },
        { "a dip just under 0.12 is taken, an octave up",        0.401, 0.119f, 0.12f,  239, 200.467f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        for (size_t n = 0; n < block.samples.size(); ++n)
            block.samples[n] = TestSignals::sineSample (100.0, blockRate, 0.1, (std::int64_t) n)
                             + TestSignals::sineSample (200.0, blockRate, c.octaveAmplitude, (std::int64_t) n);

        block.sampleRate = blockRate;

        const auto normalised = normalisedDifferences (block);
        const auto [dipLag, dip] = lowestValue (normalised, 24, 400);
        EXPECT_EQ (dipLag, 239);
        EXPECT_GT (dip, c.dipFrom);
        EXPECT_LT (dip, c.dipTo);

        const auto estimate = analyse();
        EXPECT_NEAR (estimate.frequency, c.frequency, 0.01f);
        EXPECT_FLOAT_EQ (estimate.confidence, 1.0f - normalised[(size_t) c.bestLag]);
    }
}

TEST_F (PitchDetectorTest, RejectsANoisyToneWhoseLowestValueIsAboveTheAcceptanceLimit)
{
    // 50 Hz in noise: nothing comes under 0.12, so the lowest value, at the period of 960
    // lags, decides alone. Up to 0.3 it is a pitch; above, no pitch, with its confidence.
    struct Case
    {
        const char* name;
        float noiseAmplitude;
        float lowestFrom, lowestTo;
        float frequency;
    };

    // clang-format off
    const Case cases[] {
        { "just above 0.3: no pitch, its confidence still published", 0.42f, 0.3f,  0.31f, 0.0f },
        { "just under 0.3: the tone, at a confidence over 0.7",        0.41f, 0.29f, 0.3f,  49.988f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        for (size_t n = 0; n < block.samples.size(); ++n)
            block.samples[n] = TestSignals::sineSample (50.0, blockRate, 0.25, (std::int64_t) n)
                             + c.noiseAmplitude * TestSignals::noiseSample ((std::int64_t) n);

        block.sampleRate = blockRate;

        const auto [lag, lowest] = lowestValue (normalisedDifferences (block), 24, 1746);
        EXPECT_EQ (lag, 960);
        EXPECT_GT (lowest, c.lowestFrom);
        EXPECT_LT (lowest, c.lowestTo);

        const auto estimate = analyse();
        EXPECT_NEAR (estimate.frequency, c.frequency, 0.01f);
        EXPECT_FLOAT_EQ (estimate.confidence, 1.0f - lowest);
    }
}

TEST_F (PitchDetectorTest, RejectsAToneWhoseBestLagIsTheLongestButPublishesItsConfidence)
{
    // Lag 1746 has no neighbour above it to refine with, so it is no pitch however low its
    // value; one lag shorter is a pitch. Each value here is well under the 0.3 limit.
    struct Case
    {
        const char* name;
        double frequency;
        bool dipsUnderThreshold;
        int bestLag;
        float publishedFrequency;
    };

    // clang-format off
    const Case cases[] {
        { "25 Hz: nothing under 0.12, the lowest value at the longest lag", 25.0,               false, 1746, 0.0f },
        { "27 Hz: the walk down from the first dip ends on the longest lag", 27.0,               true,  1746, 0.0f },
        { "a period of 1745 lags, one short of the longest, is published",   blockRate / 1745.0, true,  1745, 27.5072f },
    };
    // clang-format on

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TestSignals::fillSine (block, c.frequency);

        const auto normalised = normalisedDifferences (block);
        EXPECT_EQ (lowestValue (normalised, 24, 1745).second < 0.12f, c.dipsUnderThreshold);

        const auto [lag, value] = lowestValue (normalised, 24, 1746);
        EXPECT_EQ (lag, c.bestLag);
        EXPECT_LT (value, 0.3f);

        const auto estimate = analyse();
        EXPECT_NEAR (estimate.frequency, c.publishedFrequency, 0.001f);
        EXPECT_FLOAT_EQ (estimate.confidence, 1.0f - value);
    }
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

    struct Row
    {
        double rate;
        int minLag, maxLag, windowLength;
    };

    // clang-format off
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
    // clang-format on

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
        std::vector<std::pair<int, float>> values; // lag, value; all others 1.0f
        int expectedLag;
    };

    const auto nan = std::numeric_limits<float>::quiet_NaN();

    // clang-format off
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
    // clang-format on

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
