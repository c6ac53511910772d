#include "engine/DravelTunerAudioProcessor.h"
#include "support/TestSignals.h"

#include <benchmark/benchmark.h>

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
        TestSignals::SineSource (440.0, sampleRate).fill (buffer);

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
