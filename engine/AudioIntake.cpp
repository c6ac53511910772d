#include "DravelTunerAudioProcessor.h"
#include "ParameterIDs.h"

#include <cmath>

//==============================================================================
void DravelTunerAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    // JUCE hands over at least as many channels as the buses carry; never read past the
    // buffer all the same.
    const auto numChannels = buffer.getNumChannels();
    const auto ins = juce::jmin (getTotalNumInputChannels(), numChannels);
    const auto outs = juce::jmin (getTotalNumOutputChannels(), numChannels);
    const auto n = buffer.getNumSamples();

    if (n > 0)
    {
        auto sumOfSquares = 0.0;

        for (int i = 0; i < n; ++i)
        {
            auto mono = 0.0f;

            for (int channel = 0; channel < ins; ++channel)
                mono += buffer.getSample (channel, i);

            if (ins > 0)
                mono /= (float) ins;

            const auto monoAsDouble = (double) mono;
            sumOfSquares += monoAsDouble * monoAsDouble;

            pushSample (mono);
        }

        inputLevel.store ((float) std::sqrt (sumOfSquares / (double) n), std::memory_order_relaxed);
    }

    for (int channel = ins; channel < outs; ++channel)
        buffer.clear (channel, 0, n);

    // The analysis has had the input already: muting silences the output only.
    if (valueTreeState.getRawParameterValue (ParameterIDs::mute)->load() >= 0.5f)
        buffer.clear();
}

void DravelTunerAudioProcessor::pushSample (float monoSample)
{
    ++decimationCount;
    decimationSum += monoSample;

    if (decimationCount < decimationFactor)
        return;

    const auto analysisSample = decimationSum / (float) decimationFactor;
    decimationCount = 0;
    decimationSum = 0.0f;

    if (analysisBlocks[(size_t) writeBlockIndex].state.load (std::memory_order_acquire) != AnalysisBlock::stateFree)
    {
        const auto otherIndex = 1 - writeBlockIndex;

        // Neither block free: drop the sample rather than wait for the analysis thread.
        if (analysisBlocks[(size_t) otherIndex].state.load (std::memory_order_acquire) != AnalysisBlock::stateFree)
            return;

        writeBlockIndex = otherIndex;
        writePosition = 0;
    }

    auto& block = analysisBlocks[(size_t) writeBlockIndex];
    block.samples[(size_t) writePosition] = analysisSample;

    if (++writePosition >= AnalysisConstants::blockLength)
    {
        block.sampleRate = analysisSampleRate;
        block.state.store (AnalysisBlock::stateReady, std::memory_order_release);

        writeBlockIndex = 1 - writeBlockIndex;
        writePosition = 0;
    }
}

//==============================================================================
DravelTunerAudioProcessor::AnalysisThread::AnalysisThread (DravelTunerAudioProcessor& ownerToUse)
    : juce::Thread ("Dravel Tuner pitch analysis"),
      owner (ownerToUse)
{
}

void DravelTunerAudioProcessor::AnalysisThread::run()
{
    // Polled rather than notified, so the audio thread never has to signal anything.
    while (! threadShouldExit())
    {
        owner.analysePendingBlocks();
        pauseBetweenScans (*this, AnalysisConstants::scanIntervalMilliseconds);
    }
}

void DravelTunerAudioProcessor::analysePendingBlocks()
{
    for (auto& block : analysisBlocks)
    {
        auto expected = (int) AnalysisBlock::stateReady;

        if (block.state.compare_exchange_strong (expected, AnalysisBlock::stateBeingAnalysed))
        {
            analyseBlock (block);
            block.state.store (AnalysisBlock::stateFree, std::memory_order_release);
        }
    }
}
