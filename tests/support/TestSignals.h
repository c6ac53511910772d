#pragma once

#include "engine/AnalysisBlock.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <cstdint>

// Signals the engine tests feed in; each sine starts at phase 0.
namespace TestSignals
{
/** The float nearest to amplitude * sin (2 pi f n / rate). */
inline float sineSample (double frequency, double sampleRate, double amplitude, std::int64_t n)
{
    return (float) (amplitude * std::sin (2.0 * juce::MathConstants<double>::pi * frequency * (double) n / sampleRate));
}

/** Noise in -0.5 to 0.5: a hash of the sample index, so every platform and rate gets the
    same sequence without a library generator. */
inline float noiseSample (std::int64_t n)
{
    auto x = (juce::uint32) n * 2654435761u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return (float) x / 4294967296.0f - 0.5f;
}

inline void fillSine (AnalysisBlock& block, double frequency, double sampleRate = 48000.0, double amplitude = 0.5)
{
    for (size_t n = 0; n < block.samples.size(); ++n)
        block.samples[n] = sineSample (frequency, sampleRate, amplitude, (std::int64_t) n);

    block.sampleRate = sampleRate;
}

/** A sine that carries on from one device buffer to the next, the same on every channel. */
class SineSource
{
public:
    SineSource (double frequencyToUse, double sampleRateToUse, double amplitudeToUse = 0.5)
        : frequency (frequencyToUse), sampleRate (sampleRateToUse), amplitude (amplitudeToUse)
    {
    }

    void fill (juce::AudioBuffer<float>& buffer)
    {
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const auto sample = sineSample (frequency, sampleRate, amplitude, position++);

            for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
                buffer.setSample (channel, i, sample);
        }
    }

private:
    double frequency, sampleRate, amplitude;
    std::int64_t position = 0;
};
}
