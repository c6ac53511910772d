#include "engine/DravelTunerAudioProcessor.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{
    constexpr int bufferSize = 512;

    /** One device buffer of stereo input at the rate given as the argument, with the
        analysis thread running beside it as it does in the app. */
    void ProcessBlock (benchmark::State& state)
    {
        const auto sampleRate = (double) state.range (0);

        DravelTunerAudioProcessor processor;
        processor.prepareToPlay (sampleRate, bufferSize);

        juce::AudioBuffer<float> buffer (2, bufferSize);
        juce::MidiBuffer midi;

        for (int i = 0; i < bufferSize; ++i)
        {
            const auto sample = (float) (0.5 * std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 * (double) i / sampleRate));
            buffer.setSample (0, i, sample);
            buffer.setSample (1, i, sample);
        }

        for (auto _ : state)
        {
            processor.processBlock (buffer, midi);
            benchmark::ClobberMemory();
        }

        processor.releaseResources();

        state.SetItemsProcessed (state.iterations() * bufferSize);
        state.counters["per_frame"] = benchmark::Counter ((double) state.iterations() * bufferSize,
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
}

BENCHMARK (ProcessBlock)->Arg (48000)->Arg (192000);
