#include "LagByLagPitchDetector.h"
#include "support/TestSignals.h"

#include <benchmark/benchmark.h>

namespace
{
    constexpr double blockRate = 48000.0;

    template <typename Estimator>
    void timeOneBlock (benchmark::State& state, Estimator estimatePitch)
    {
        // A4 at half scale: the common case, settled by the threshold search.
        AnalysisBlock block;
        TestSignals::fillSine (block, 440.0, blockRate);

        for (auto _ : state)
        {
            auto estimate = estimatePitch (block.samples.data(), blockRate);
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
