#include "DravelTunerAudioProcessor.h"
#include "PitchDetector.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
    using namespace PitchDetector;

    /** One over the block length: turns the block's sum of squares into its mean. */
    constexpr double meanSquareFactor = 0.000244140625;
    static_assert (meanSquareFactor * AnalysisConstants::blockLength == 1.0, "2^-12 for 4096 samples");

    constexpr int floorRangeMaxLag = lagFloor + lagFloor;

    /** A normalised difference below this marks the period. */
    constexpr float detectionThreshold = 0.12f;

    /** A minimum above this is too shallow to be a pitch. */
    constexpr float maxAcceptedDifference = 0.3f;

    /** A parabola flatter than this has no vertex worth moving to. */
    constexpr float curvatureGuard = 1e-9f;

    constexpr float vertexFactor = 0.5f;
    constexpr float maxLagShift = 1.0f;

    /** The value of lag 0, and of every lag while the differences so far sum to nothing. */
    constexpr float neutralDifference = 1.0f;

    constexpr float lowestPublishedFrequency = (float) AnalysisConstants::minDetectableFrequency;
    constexpr float highestPublishedFrequency = (float) AnalysisConstants::maxDetectableFrequency;

    /** Lags summed side by side: the sums are independent, so a pass over the window
        feeds all of them and the compiler can vectorise across lags. */
    constexpr int lagsPerPass = 128;

    //==============================================================================
    float rootMeanSquare (const float* samples) noexcept
    {
        auto sumOfSquares = 0.0;

        for (int j = 0; j < AnalysisConstants::blockLength; ++j)
        {
            const auto sample = (double) samples[j];
            sumOfSquares += sample * sample;
        }

        return (float) std::sqrt (sumOfSquares * meanSquareFactor);
    }

    bool fitsScratch (const LagRange& range) noexcept
    {
        return range.minLag + lagFloor <= range.maxLag && range.maxLag <= maxLagLimit;
    }

    float clampedConfidence (float normalisedValue) noexcept
    {
        const auto confidence = 1.0f - normalisedValue;

        // Written out rather than jlimit, so that NaN passes through unchanged.
        if (confidence < 0.0f)
            return 0.0f;

        if (confidence > 1.0f)
            return 1.0f;

        return confidence;
    }

    /** Offset of the parabola's vertex through the chosen lag and its two neighbours. */
    float parabolicShift (float before, float at, float after) noexcept
    {
        const auto curvature = (before - (at + at)) + after;

        if (! (std::abs (curvature) > curvatureGuard))
            return 0.0f;

        const auto shift = ((before - after) * vertexFactor) / curvature;

        if (shift < -maxLagShift)
            return -maxLagShift;

        if (shift > maxLagShift)
            return maxLagShift;

        return shift;
    }
}

//==============================================================================
namespace PitchDetector
{
    LagRange lagRangeFor (double sampleRate) noexcept
    {
        // Only a finite rate has lags; truncating anything else to int is undefined.
        if (! std::isfinite (sampleRate))
            return { lagFloor, floorRangeMaxLag, AnalysisConstants::blockLength - floorRangeMaxLag };

        // Every lag beyond the scratch is out of reach alike, so clamp before truncating.
        const auto beyondScratch = (double) (maxLagLimit + 1);

        const auto shortestPeriod = sampleRate / AnalysisConstants::maxDetectableFrequency;
        const auto minLag = shortestPeriod > (double) lagFloor ? (int) std::min (shortestPeriod, beyondScratch)
                                                               : lagFloor;

        const auto longestPeriod = std::ceil (sampleRate / AnalysisConstants::minDetectableFrequency);
        const auto maxLag = longestPeriod < (double) (minLag + lagFloor) ? minLag + lagFloor
                                                                         : (int) std::min (longestPeriod, (double) maxLagLimit);

        return { minLag, maxLag, AnalysisConstants::blockLength - maxLag };
    }

    void computeDifferences (const float* samples, const LagRange& range, float* difference) noexcept
    {
        for (int firstLag = 1; firstLag <= range.maxLag; firstLag += lagsPerPass)
        {
            const auto numLags = std::min (lagsPerPass, range.maxLag + 1 - firstLag);
            double sums[lagsPerPass] = {};

            // Each lag's sum still runs over the window in sample order, one term at a time.
            for (int j = 0; j < range.windowLength; ++j)
            {
                const auto sample = samples[j];
                const auto* later = samples + j + firstLag;

                for (int k = 0; k < numLags; ++k)
                {
                    const auto delta = (double) (sample - later[k]);
                    sums[k] += delta * delta;
                }
            }

            for (int k = 0; k < numLags; ++k)
                difference[firstLag + k] = (float) sums[k];
        }
    }

    void normalise (const float* difference, const LagRange& range, float* normalisedDifference) noexcept
    {
        normalisedDifference[0] = neutralDifference;
        auto runningSum = 0.0;

        for (int tau = 1; tau <= range.maxLag; ++tau)
        {
            runningSum += (double) difference[tau];

            normalisedDifference[tau] = runningSum > 0.0
                                          ? (float) ((double) ((float) tau * difference[tau]) / runningSum)
                                          : neutralDifference;
        }
    }

    int findBestLag (const float* normalisedDifference, const LagRange& range) noexcept
    {
        for (int tau = range.minLag; tau < range.maxLag; ++tau)
        {
            // A NaN is not below the threshold: it can only come from non-finite samples.
            if (normalisedDifference[tau] < detectionThreshold)
            {
                auto bestLag = tau;

                while (bestLag + 1 <= range.maxLag
                       && normalisedDifference[bestLag + 1] < normalisedDifference[bestLag])
                    ++bestLag;

                return bestLag;
            }
        }

        auto bestLag = range.minLag;

        for (int k = range.minLag + 1; k <= range.maxLag; ++k)
            if (normalisedDifference[k] < normalisedDifference[bestLag])
                bestLag = k;

        return bestLag;
    }

    Estimate estimatePitch (const float* samples, double sampleRate, DifferenceFunction differenceFunction) noexcept
    {
        constexpr Estimate noPitch { 0.0f, 0.0f };

        if (rootMeanSquare (samples) < AnalysisConstants::silenceThreshold)
            return noPitch;

        const auto range = lagRangeFor (sampleRate);

        // Only a block rate far above anything the processor makes gets here.
        if (! fitsScratch (range))
            return noPitch;

        std::array<float, scratchSize> difference;
        std::array<float, scratchSize> normalisedDifference;
        difference.fill (0.0f);
        normalisedDifference.fill (0.0f);

        differenceFunction (samples, range, difference.data());
        normalise (difference.data(), range, normalisedDifference.data());

        const auto bestLag = findBestLag (normalisedDifference.data(), range);
        const auto value = normalisedDifference[(size_t) bestLag];
        const auto confidence = clampedConfidence (value);

        // The refinement needs a neighbour on each side.
        if (value > maxAcceptedDifference || bestLag >= range.maxLag)
            return { 0.0f, confidence };

        const auto lagShift = parabolicShift (normalisedDifference[(size_t) bestLag - 1], value,
                                              normalisedDifference[(size_t) bestLag + 1]);
        const auto frequency = (float) sampleRate / ((float) bestLag + lagShift);

        // A NaN frequency fails both tests and is published as it is.
        if (frequency < lowestPublishedFrequency || frequency > highestPublishedFrequency)
            return noPitch;

        return { frequency, confidence };
    }
}

//==============================================================================
void DravelTunerAudioProcessor::analyseBlock (AnalysisBlock& block)
{
    // The audio thread leaves a claimed block alone, so it is read in place.
    const auto estimate = PitchDetector::estimatePitch (block.samples.data(), block.sampleRate);

    detectedFrequency.store (estimate.frequency);
    detectedConfidence.store (estimate.confidence);
}
