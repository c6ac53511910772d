#pragma once

// The pitch detector behind DravelTunerAudioProcessor::analyseBlock, in the pieces that make
// sense on their own: the lags searched at a block rate, the difference function, the lag
// the search settles on, and the whole estimate of one block.
namespace PitchDetector
{
    /** The highest lag the scratch arrays hold: half a block. */
    constexpr int maxLagLimit = 2048;

    /** Lags 0 to maxLagLimit. */
    constexpr int scratchSize = maxLagLimit + 1;

    /** The smallest lag searched, and the smallest distance from it to the largest. */
    constexpr int lagFloor = 2;

    struct LagRange
    {
        int minLag;       // the highest frequency searched
        int maxLag;       // the lowest frequency, and the last lag computed
        int windowLength; // sample pairs summed for every lag
    };

    /** What one block publishes: frequency 0 when it holds no usable pitch. */
    struct Estimate
    {
        float frequency;
        float confidence;
    };

    /** The lags of 2000 Hz down to 27.5 Hz at the given block rate. A rate that is not a
        real one (zero, negative, infinite, NaN) gets the floor range of lags 2 to 4.
    */
    LagRange lagRangeFor (double sampleRate) noexcept;

    /** Fills difference[1] to difference[maxLag] from the first windowLength + maxLag
        samples: for each lag, the sum in double, in sample order, of the squared float
        differences between each sample of the window and the one a lag later.
    */
    void computeDifferences (const float* samples, const LagRange& range, float* difference) noexcept;

    using DifferenceFunction = void (*) (const float*, const LagRange&, float*) noexcept;

    /** Fills normalisedDifference[0] to [maxLag]: each difference over the mean of the
        differences up to its lag (cumulative-mean normalisation), lag 0 and lags whose
        differences so far sum to nothing at 1.
    */
    void normalise (const float* difference, const LagRange& range, float* normalisedDifference) noexcept;

    /** The first lag under the threshold, walked down to its local minimum; failing that,
        the smallest lag of the lowest value. normalisedDifference holds lags 0 to maxLag.
    */
    int findBestLag (const float* normalisedDifference, const LagRange& range) noexcept;

    /** The fundamental of one block of AnalysisConstants::blockLength samples. */
    Estimate estimatePitch (const float* samples, double sampleRate,
                            DifferenceFunction differenceFunction = computeDifferences) noexcept;
}
