#include "benchmarks/LagByLagPitchDetector.h"
#include "support/ProcessorTestAccess.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace
{
    /** The same bits; any NaN matches any NaN, since a NaN's payload depends on which
        operand the hardware happened to see first. */
    bool sameBits (float a, float b)
    {
        if (std::isnan (a) && std::isnan (b))
            return true;

        return std::memcmp (&a, &b, sizeof (float)) == 0;
    }

    struct Signal
    {
        const char* name;
        std::function<float (int n, double rate)> sample;
    };

    std::vector<Signal> makeSignals()
    {
        const auto pi = juce::MathConstants<double>::pi;

        return {
            { "A4", [] (int n, double rate) { return TestSignals::sineSample (440.0, rate, 0.5, n); } },
            { "E2 with partials", [] (int n, double rate) {
                 return TestSignals::sineSample (82.41, rate, 0.4, n) + TestSignals::sineSample (164.81, rate, 0.2, n)
                      + TestSignals::sineSample (247.22, rate, 0.1, n);
             } },
            { "noise", [] (int n, double) { return TestSignals::noiseSample (n); } },
            { "sweep", [pi] (int n, double rate) {
                 const auto t = (double) n / rate;
                 return (float) (0.5 * std::sin (2.0 * pi * (50.0 * t + 3000.0 * t * t)));
             } },
            { "tone with offset", [] (int n, double rate) { return 0.2f + TestSignals::sineSample (1234.5, rate, 0.3, n); } },
            { "denormal ripple", [] (int n, double rate) {
                 return TestSignals::sineSample (300.0, rate, 0.01, n) + (float) (n % 7) * 1.0e-39f;
             } },
            { "too loud", [] (int n, double rate) { return TestSignals::sineSample (700.0, rate, 1.0e18, n); } },
            { "one infinity", [] (int n, double rate) {
                 return n == 321 ? std::numeric_limits<float>::infinity() : TestSignals::sineSample (440.0, rate, 0.5, n);
             } },
            { "one NaN", [] (int n, double rate) {
                 return n == 321 ? std::numeric_limits<float>::quiet_NaN() : TestSignals::sineSample (440.0, rate, 0.5, n);
             } },
        };
    }
}

//==============================================================================
TEST (LagByLagAgreement, TheShippedDetectorGivesTheBitsOfTheLagByLagOne)
{
    DravelTunerAudioProcessor processor;
    DravelTunerAudioProcessor::TestAccess access (processor);
    auto& block = access.block (0);

    // Rates whose lag counts leave every remainder of the lags summed side by side.
    const double rates[] { 48000.0, 44100.0, 96000.0, 22050.0, 8000.0, 1000.0, 50.0 };

    for (const auto& signal : makeSignals())
    {
        for (const auto rate : rates)
        {
            SCOPED_TRACE (juce::String (signal.name) + " at " + juce::String (rate) + " Hz");

            for (int n = 0; n < AnalysisConstants::blockLength; ++n)
                block.samples[(size_t) n] = signal.sample (n, rate);

            block.sampleRate = rate;

            const auto range = PitchDetector::lagRangeFor (rate);
            std::array<float, PitchDetector::scratchSize> shipped {}, lagByLag {};
            PitchDetector::computeDifferences (block.samples.data(), range, shipped.data());
            LagByLag::computeDifferences (block.samples.data(), range, lagByLag.data());

            for (int tau = 0; tau < PitchDetector::scratchSize; ++tau)
                ASSERT_TRUE (sameBits (shipped[(size_t) tau], lagByLag[(size_t) tau])) << "lag " << tau;

            access.analyseBlock (block);
            const auto expected = LagByLag::estimatePitch (block.samples.data(), rate);
            EXPECT_TRUE (sameBits (access.detectedFrequency(), expected.frequency));
            EXPECT_TRUE (sameBits (access.detectedConfidence(), expected.confidence));
        }
    }
}
