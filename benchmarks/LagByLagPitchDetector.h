#pragma once

#include "engine/PitchDetector.h"

/** The detector with its difference function written the plain way: one lag after the
    other, one accumulator each. It is the baseline the shipped detector is timed against,
    and it must give the same bits.
*/
namespace LagByLag
{
    inline void computeDifferences (const float* samples, const PitchDetector::LagRange& range, float* difference) noexcept
    {
        for (int tau = 1; tau <= range.maxLag; ++tau)
        {
            auto sum = 0.0;

            for (int j = 0; j < range.windowLength; ++j)
            {
                const auto delta = (double) (samples[j] - samples[j + tau]);
                sum += delta * delta;
            }

            difference[tau] = (float) sum;
        }
    }

    inline PitchDetector::Estimate estimatePitch (const float* samples, double sampleRate) noexcept
    {
        return PitchDetector::estimatePitch (samples, sampleRate, computeDifferences);
    }
}
