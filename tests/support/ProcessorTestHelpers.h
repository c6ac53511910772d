#pragma once

#include "ProcessorTestAccess.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>

namespace ProcessorTestHelpers
{
/** A processor that accepts any bus layout, to reach channel totals the real one refuses. */
struct PermissiveProcessor : public DravelTunerAudioProcessor
{
    bool isBusesLayoutSupported (const BusesLayout&) const override { return true; }
};

/** Prepares for the rate and stops the analysis thread again, so that a test can look at
    the blocks without the thread claiming them. */
inline void prepareWithoutAnalysis (DravelTunerAudioProcessor& processor, double sampleRate, int blockSize = 512)
{
    processor.prepareToPlay (sampleRate, blockSize);
    processor.releaseResources();
}

/** Runs processBlock over a buffer whose channels are filled by sampleAt (channel, index). */
inline juce::AudioBuffer<float> process (DravelTunerAudioProcessor& processor, int numChannels, int numSamples,
                                         const std::function<float (int, int)>& sampleAt)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);

    for (int channel = 0; channel < numChannels; ++channel)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (channel, i, sampleAt (channel, i));

    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    return buffer;
}

inline void setRawParameter (DravelTunerAudioProcessor& processor, const char* id, float rawValue)
{
    processor.getValueTreeState().getRawParameterValue (id)->store (rawValue);
}
}
