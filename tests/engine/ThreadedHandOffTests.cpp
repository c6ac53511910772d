#include "engine/DravelTunerAudioProcessor.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

namespace
{
    using Clock = std::chrono::steady_clock;

    constexpr int bufferSize = 512;
    constexpr double toneFrequency = 440.0;
    constexpr double secondsOfSignalPerRun = 1.5;
    constexpr auto runDeadline = std::chrono::seconds (20);

    /** What JUCE's player does around the processor: its callback lock serialises
        processBlock against prepareToPlay and releaseResources, and it only calls
        processBlock while the processor is prepared. */
    class Player
    {
    public:
        explicit Player (DravelTunerAudioProcessor& processorToPlay) : processor (processorToPlay) {}

        void prepare (double sampleRate)
        {
            const std::lock_guard<std::mutex> lock (callbackLock);
            processor.prepareToPlay (sampleRate, bufferSize);
            currentRate = sampleRate;
            isPrepared = true;
            framesThisRun = 0;
        }

        void release()
        {
            const std::lock_guard<std::mutex> lock (callbackLock);
            processor.releaseResources();
            isPrepared = false;
        }

        /** One audio callback; the tone restarts whenever the rate changes. */
        void callback (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
        {
            const std::lock_guard<std::mutex> lock (callbackLock);

            if (! isPrepared)
                return;

            if (currentRate != toneRate)
            {
                tone = TestSignals::SineSource (toneFrequency, currentRate);
                toneRate = currentRate;
            }

            tone.fill (buffer);
            processor.processBlock (buffer, midi);
            framesThisRun += buffer.getNumSamples();
        }

        double secondsPlayedThisRun()
        {
            const std::lock_guard<std::mutex> lock (callbackLock);
            return isPrepared ? (double) framesThisRun / currentRate : 0.0;
        }

    private:
        DravelTunerAudioProcessor& processor;
        std::mutex callbackLock;
        bool isPrepared = false;
        double currentRate = 0.0, toneRate = 0.0;
        std::int64_t framesThisRun = 0;
        TestSignals::SineSource tone { toneFrequency, 48000.0 };
    };
}

//==============================================================================
TEST (ThreadedHandOff, AudioReadingsAndRestartsOverlapWithoutRacing)
{
    DravelTunerAudioProcessor processor;
    Player player (processor);
    std::atomic<bool> finished { false };

    std::thread audioThread ([&] {
        juce::AudioBuffer<float> buffer (2, bufferSize);
        juce::MidiBuffer midi;

        while (! finished.load())
        {
            player.callback (buffer, midi);
            std::this_thread::sleep_for (std::chrono::microseconds (100));
        }
    });

    std::atomic<int> validReadings { 0 }, wrongReadings { 0 };

    // The editor's side: readings and the input level, polled while everything else runs.
    std::thread readerThread ([&] {
        while (! finished.load())
        {
            const auto reading = processor.getTunerReading();

            if (reading.isValid)
            {
                ++validReadings;

                if (reading.noteName != "A4" || std::abs (reading.cents) > 1.0f)
                    ++wrongReadings;
            }

            if (! (processor.getInputLevel() >= 0.0f))
                ++wrongReadings;

            std::this_thread::yield();
        }
    });

    // Decimation by 1, 1, 2 and 4; a restart while playing and a second release included.
    const double rates[] { 48000.0, 44100.0, 96000.0, 192000.0 };

    for (const auto rate : rates)
    {
        SCOPED_TRACE (rate);
        player.prepare (rate);

        if (rate == 96000.0)
            player.prepare (rate);

        // The reset cleared the last run's result, so a note now comes from this run.
        auto sawNote = false;
        const auto start = Clock::now();

        while ((player.secondsPlayedThisRun() < secondsOfSignalPerRun || ! sawNote)
               && Clock::now() - start < runDeadline)
        {
            sawNote = sawNote || processor.getTunerReading().isValid;
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }

        EXPECT_TRUE (sawNote);

        player.release();

        if (rate == 44100.0)
            player.release();
    }

    finished.store (true);
    audioThread.join();
    readerThread.join();

    EXPECT_GT (validReadings.load(), 0);
    EXPECT_EQ (wrongReadings.load(), 0);
}
