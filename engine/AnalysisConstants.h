#pragma once

// The figures the analysis depends on, shared by the engine and the editor.
namespace AnalysisConstants
{
    /** Device rates above this are decimated down to at most this rate. */
    constexpr double maxAnalysisRate = 48000.0;

    /** Decimated mono samples per analysis block. */
    constexpr int blockLength = 4096;

    /** RMS below which a block, or the input level, counts as silence. */
    constexpr float silenceThreshold = 0.0025f;

    /** The detection range in Hz. */
    constexpr double minDetectableFrequency = 27.5;
    constexpr double maxDetectableFrequency = 2000.0;

    /** How long the analysis thread pauses between two scans of the blocks. */
    constexpr double scanIntervalMilliseconds = 5.0;

    /** The longest the message thread waits for the analysis thread to stop. */
    constexpr int threadStopTimeoutMilliseconds = 2000;
}
