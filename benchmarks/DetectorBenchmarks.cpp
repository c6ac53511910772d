#include "LagByLagPitchDetector.h"
#include "engine/AnalysisConstants.h"

#include <benchmark/benchmark.h>
#include <juce_core/juce_core.h>

#include <array>
#include <cmath>

namespace
{
    constexpr double blockRate = 48000.0;

    using Block = std::array<float, AnalysisConstants::blockLength>;

    /** A4 at half scale: the common case, settled by the threshold search. */
    Block makeToneBlock()
    {
        Block block;

        for (size_t n = 0; n < block.size(); ++n)
            block[n] = (float) (0.5 * std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 * (double) n / blockRate));

        return block;
    }

    template <typename Estimator>
    void timeOneBlock (benchmark::State& state, Estimator estimatePitch)
    {
        const auto block = makeToneBlock();

        for (auto _ : state)
        {
            auto estimate = estimatePitch (block.data(), blockRate);
            benchmark::DoNotOptimize (estimate);
        }
    }

    // The names are the ones BenchmarkMain.cpp compares.
    void ShippedDetector (benchmark::State& state)
    {
        timeOneBlock (state, [] (const float* samples, double rate) { return PitchDetector::estimatePitch (samples, rate); });
    }

    void LagByLagDetector (benchmark::State& state)
    {
        timeOneBlock (state, LagByLag::estimatePitch);
    }
}

BENCHMARK (ShippedDetector)->Unit (benchmark::kMicrosecond);
BENCHMARK (LagByLagDetector)->Unit (benchmark::kMicrosecond);
