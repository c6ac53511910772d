#pragma once

#include "AnalysisConstants.h"

#include <array>
#include <atomic>

/** Decimated mono samples handed from the audio thread to the analysis thread.

    The state word moves only around the cycle free -> ready (audio thread, after the last
    sample) -> beingAnalysed (analysis thread, by compare-exchange) -> free (analysis thread,
    after the detector returns). The samples and the rate are plain data ordered by it.
*/
struct AnalysisBlock
{
    enum State : int
    {
        stateFree = 0,
        stateReady = 1,
        stateBeingAnalysed = 2
    };

    std::array<float, AnalysisConstants::blockLength> samples {};
    std::atomic<int> state { stateFree };
    double sampleRate = AnalysisConstants::maxAnalysisRate;
};
